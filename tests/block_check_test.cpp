// The block check: walking to the next finding, the sentence-start rule and
// doubled words.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "orth.h"

namespace {

constexpr uint32_t SPELL = OPT_REPORT_MISSPELLED;
constexpr uint32_t DOUBLED = OPT_REPORT_DOUBLED_WORD;

class BlockCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session_ = ORTH_OpenSession();
    const int32_t lex = ORTH_CreateLex(session_, nullptr, LEX_TYPE_ACCEPT, 0);
    for (const char* w : {"the", "cat", "it", "is", "fine", "hello", "world", "sat"}) {
      ORTH_AddToLex(session_, lex, w, nullptr);
    }
  }
  void TearDown() override { ORTH_CloseSession(session_); }

  // Walks a whole block, skipping past each finding; returns "word:bits".
  std::vector<std::string> Findings(const std::string& text, uint32_t options) {
    const int32_t b = ORTH_OpenBlock(session_, text.data(), static_cast<uint32_t>(text.size()),
                                     static_cast<uint32_t>(text.size()) + 1, 1);
    std::vector<std::string> out;
    for (int guard = 0; guard < 100; ++guard) {
      char word[WORD_MAX + 1], other[WORD_MAX + 1];
      const int32_t r =
          ORTH_CheckBlock(session_, b, options, word, sizeof word, other, sizeof other);
      if (r == RES_END_OF_BLOCK) break;
      out.push_back(std::string(word) + ":" + std::to_string(r));
      if (ORTH_NextBlockWord(session_, b) != 0) break;
    }
    ORTH_CloseBlock(session_, b);
    return out;
  }

  int32_t session_ = -1;
};

TEST_F(BlockCheckTest, WalkRules) {
  using V = std::vector<std::string>;
  struct Row {
    std::string text;
    uint32_t options;
    V findings;
  };
  const std::vector<Row> rows = {
      {"the cat sat", SPELL, {}},
      {"... 123 !!", SPELL, {}},
      {"the cta sat on teh mat", SPELL, {"cta:1", "on:1", "teh:1", "mat:1"}},
      {"hello world", OPT_REPORT_UNCAPITALIZED, {"hello:8"}},
      {"Hello world", OPT_REPORT_UNCAPITALIZED, {}},  // only the first word starts a sentence
      {"it is is fine", DOUBLED, {"is:128"}},
      {"the the the", DOUBLED, {"the:128"}},
      {"The the", DOUBLED, {"the:128"}},
      {"is, is", DOUBLED, {}},
      {"the. The", DOUBLED, {}},
      {"teh teh", SPELL | DOUBLED, {"teh:1", "teh:129"}},
  };
  for (const Row& row : rows) EXPECT_EQ(Findings(row.text, row.options), row.findings) << row.text;
}

TEST_F(BlockCheckTest, AReplacementIsCheckedNextAndAFindingIsNotRepeated) {
  char text[64] = "it is is fine teh";
  const int32_t b =
      ORTH_OpenBlock(session_, text, static_cast<uint32_t>(std::strlen(text)), sizeof text, 0);
  char word[WORD_MAX + 1], other[WORD_MAX + 1];
  EXPECT_EQ(ORTH_CheckBlock(session_, b, SPELL | DOUBLED, word, sizeof word, other, sizeof other),
            RES_DOUBLED_WORD);
  EXPECT_STREQ(word, "is");
  // Checking the same word again does not report it twice.
  EXPECT_EQ(ORTH_CheckBlock(session_, b, SPELL | DOUBLED, word, sizeof word, other, sizeof other),
            RES_MISSPELLED);
  EXPECT_STREQ(word, "teh");
  ASSERT_EQ(ORTH_ReplaceBlockWord(session_, b, "tha"), 0);
  EXPECT_EQ(ORTH_CheckBlock(session_, b, SPELL, word, sizeof word, other, sizeof other),
            RES_MISSPELLED);
  EXPECT_STREQ(word, "tha");
  ASSERT_EQ(ORTH_ReplaceBlockWord(session_, b, "the"), 0);
  EXPECT_EQ(ORTH_CheckBlock(session_, b, SPELL, word, sizeof word, other, sizeof other),
            RES_END_OF_BLOCK);
  EXPECT_STREQ(text, "it is is fine the");
}

TEST_F(BlockCheckTest, WordCountLeavesTheSentenceStartAlone) {
  const std::string text = "hello world";
  const int32_t b = ORTH_OpenBlock(session_, text.data(), 11, 12, 1);
  uint32_t count = 0;
  ASSERT_EQ(ORTH_GetBlockInfo(session_, b, nullptr, nullptr, nullptr, &count), 0);
  EXPECT_EQ(count, 2u);
  char word[WORD_MAX + 1], other[WORD_MAX + 1];
  EXPECT_EQ(ORTH_CheckBlock(session_, b, OPT_REPORT_UNCAPITALIZED, word, sizeof word, other,
                            sizeof other),
            RES_UNCAPITALIZED);
  EXPECT_STREQ(other, "Hello");
}

TEST_F(BlockCheckTest, BadArgumentsAreRefusedWithoutMoving) {
  const std::string text = "zzz the";
  const int32_t b = ORTH_OpenBlock(session_, text.data(), 7, 8, 1);
  char word[WORD_MAX + 1];
  EXPECT_EQ(ORTH_CheckBlock(-1, b, SPELL, word, sizeof word, nullptr, 0), ERR_BAD_SESSION);
  EXPECT_EQ(ORTH_CheckBlock(session_, 3, SPELL, word, sizeof word, nullptr, 0), ERR_BAD_BLOCK);
  EXPECT_EQ(ORTH_CheckBlock(session_, b, SPELL, word, 0, nullptr, 0), ERR_BUFFER_TOO_SMALL);
  EXPECT_EQ(ORTH_CheckBlock(session_, b, SPELL, nullptr, 31, nullptr, 0), ERR_BUFFER_TOO_SMALL);
  uint32_t cursor = 99;
  ORTH_GetBlockInfo(session_, b, nullptr, nullptr, &cursor, nullptr);
  EXPECT_EQ(cursor, 0u);
  // A null other buffer with a size is not written.
  EXPECT_EQ(ORTH_CheckBlock(session_, b, SPELL, word, sizeof word, nullptr, 31), RES_MISSPELLED);
  EXPECT_STREQ(word, "zzz");
}

}  // namespace
