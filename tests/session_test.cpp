// The session table and the handle checks every export starts with.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "orth.h"

namespace {

// Closes whatever sessions a test left open, so tests do not see each other.
class SessionTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (int32_t s = 0; s < MAX_SESSIONS; ++s) ORTH_CloseSession(s);
  }
};

TEST_F(SessionTest, LowestFreeNumberIsHandedOut) {
  for (int32_t expected = 0; expected < MAX_SESSIONS; ++expected) {
    EXPECT_EQ(ORTH_OpenSession(), expected);
  }
  EXPECT_EQ(ORTH_OpenSession(), ERR_TOO_MANY_SESSIONS);
  EXPECT_FALSE(std::filesystem::exists("lexdbg.log")) << "debug level 0 touches no file";
  EXPECT_EQ(ORTH_CloseSession(5), 0);
  EXPECT_EQ(ORTH_CloseSession(9), 0);
  EXPECT_EQ(ORTH_OpenSession(), 5);
  EXPECT_EQ(ORTH_OpenSession(), 9);
  EXPECT_EQ(ORTH_OpenSession(), ERR_TOO_MANY_SESSIONS);
}

TEST_F(SessionTest, CloseRefusesNumbersThatNameNoSession) {
  const int32_t s = ORTH_OpenSession();
  ASSERT_EQ(s, 0);
  EXPECT_EQ(ORTH_CloseSession(s), 0);
  for (int32_t bad : {s, -1, 16, INT32_MIN, INT32_MAX, 3}) {
    EXPECT_EQ(ORTH_CloseSession(bad), ERR_BAD_SESSION) << bad;
  }
}

TEST_F(SessionTest, VersionIsThreeThreeAndSkipsNullPointers) {
  int32_t major = -1, minor = -1;
  ORTH_Version(&major, &minor);
  EXPECT_EQ(major, 3);
  EXPECT_EQ(minor, 3);
  minor = -1;
  ORTH_Version(nullptr, &minor);
  EXPECT_EQ(minor, 3);
  ORTH_Version(&major, nullptr);
  ORTH_Version(nullptr, nullptr);
}

// Every export that takes a session and a block, called with a given pair.
struct BlockExport {
  const char* name;
  std::function<int32_t(int32_t session, int32_t block)> call;
  int32_t badBlockCode;
};

std::vector<BlockExport> BlockExports() {
  static char buffer[64];
  static uint32_t out;
  return {
      {"ORTH_CloseBlock", [](int32_t s, int32_t b) { return ORTH_CloseBlock(s, b); },
       ERR_BAD_BLOCK},
      {"ORTH_GetBlockWord", [](int32_t s, int32_t b) { return ORTH_GetBlockWord(s, b, buffer, 0); },
       ERR_BAD_BLOCK},
      {"ORTH_NextBlockWord", [](int32_t s, int32_t b) { return ORTH_NextBlockWord(s, b); },
       ERR_BAD_BLOCK},
      {"ORTH_ReplaceBlockWord",
       [](int32_t s, int32_t b) { return ORTH_ReplaceBlockWord(s, b, nullptr); }, ERR_BAD_BLOCK},
      {"ORTH_DelBlockWord", [](int32_t s, int32_t b) { return ORTH_DelBlockWord(s, b); },
       ERR_BAD_SESSION},
      {"ORTH_GetBlockInfo",
       [](int32_t s, int32_t b) { return ORTH_GetBlockInfo(s, b, &out, &out, &out, &out); },
       ERR_BAD_BLOCK},
      {"ORTH_GetBlock", [](int32_t s, int32_t b) { return ORTH_GetBlock(s, b, nullptr, 0); },
       ERR_BAD_BLOCK},
  };
}

TEST_F(SessionTest, BlockExportsCheckSessionThenBlock) {
  const int32_t s = ORTH_OpenSession();
  ASSERT_EQ(s, 0);
  char text[] = "one two";
  ASSERT_EQ(ORTH_OpenBlock(s, text, 7, sizeof text, 0), 0);  // block 0 open, 1..3 free
  for (const BlockExport& e : BlockExports()) {
    // A bad session wins over a bad block and over bad other arguments.
    for (int32_t badSession : {-1, 1, 16}) {
      EXPECT_EQ(e.call(badSession, 9), ERR_BAD_SESSION) << e.name << " session " << badSession;
      EXPECT_EQ(e.call(badSession, 0), ERR_BAD_SESSION) << e.name << " session " << badSession;
    }
    for (int32_t badBlock : {-1, 1, 3, 4, INT32_MAX}) {
      EXPECT_EQ(e.call(s, badBlock), e.badBlockCode) << e.name << " block " << badBlock;
    }
  }
}

TEST_F(SessionTest, OpenBlockChecksSessionSlotCapacityInOrder) {
  char text[] = "hello";
  EXPECT_EQ(ORTH_OpenBlock(0, text, 5, 6, 0), ERR_BAD_SESSION);
  const int32_t s = ORTH_OpenSession();
  for (int32_t b = 0; b < MAX_BLOCKS; ++b) EXPECT_EQ(ORTH_OpenBlock(s, text, 5, 6, b % 2), b);
  // A full session reports the missing slot before a bad capacity.
  EXPECT_EQ(ORTH_OpenBlock(s, text, 9, 6, 0), ERR_TOO_MANY_BLOCKS);
  EXPECT_EQ(ORTH_CloseBlock(s, 2), 0);
  EXPECT_EQ(ORTH_OpenBlock(s, text, 7, 6, 0), ERR_BUFFER_TOO_SMALL);
  EXPECT_EQ(ORTH_OpenBlock(s, nullptr, 1, 6, 1), ERR_BUFFER_TOO_SMALL);
  EXPECT_EQ(ORTH_OpenBlock(s, text, 5, 5, 1), 2);  // equal length and capacity is accepted
}

TEST_F(SessionTest, ClosingASessionClosesItsBlocksAndKeepsInPlaceEdits) {
  const int32_t s = ORTH_OpenSession();
  char text[16] = "teh cat";
  ASSERT_EQ(ORTH_OpenBlock(s, text, 7, sizeof text, 0), 0);
  ASSERT_EQ(ORTH_ReplaceBlockWord(s, 0, "the"), 0);
  EXPECT_EQ(ORTH_CloseSession(s), 0);
  EXPECT_EQ(std::string(text), "the cat");
  EXPECT_EQ(ORTH_NextBlockWord(s, 0), ERR_BAD_SESSION);
  // The number is free again, with empty block slots.
  EXPECT_EQ(ORTH_OpenSession(), s);
  EXPECT_EQ(ORTH_CloseBlock(s, 0), ERR_BAD_BLOCK);
}

}  // namespace
