// Text blocks: reading, moving, replacing, deleting, counting and copying.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "orth.h"

namespace {

class BlockTest : public ::testing::Test {
 protected:
  void SetUp() override { session_ = ORTH_OpenSession(); }
  void TearDown() override { ORTH_CloseSession(session_); }

  // Opens a private copy of text with the given capacity (default: ample).
  int32_t OpenCopy(const std::string& text, uint32_t capacity = 0) {
    if (capacity == 0) capacity = static_cast<uint32_t>(text.size()) + 64;
    return ORTH_OpenBlock(session_, text.data(), static_cast<uint32_t>(text.size()), capacity, 1);
  }
  std::string Text(int32_t block) {
    std::vector<char> out(4096);
    const int32_t n = ORTH_GetBlock(session_, block, out.data(), static_cast<uint32_t>(out.size()));
    return n < 0 ? "<error>" : std::string(out.data(), n);
  }
  std::string Word(int32_t block) {
    char word[WORD_MAX + 1];
    return ORTH_GetBlockWord(session_, block, word, sizeof word) < 0 ? "<none>" : word;
  }
  std::vector<std::string> Walk(int32_t block) {
    std::vector<std::string> words;
    do {
      std::string w = Word(block);
      if (w == "<none>") break;
      words.push_back(w);
    } while (ORTH_NextBlockWord(session_, block) == 0);
    return words;
  }
  uint32_t Info(int32_t block, uint32_t* cursor = nullptr) {
    uint32_t count = 0;
    EXPECT_EQ(ORTH_GetBlockInfo(session_, block, nullptr, nullptr, cursor, &count), 0);
    return count;
  }

  int32_t session_ = -1;
};

TEST_F(BlockTest, WordsAreLettersThenLettersDigitsAndApostrophes) {
  struct Row {
    std::string text;
    std::vector<std::string> words;
  };
  const std::vector<Row> rows = {
      {"", {}},
      {"123 456", {}},
      {"4th floor", {"th", "floor"}},
      {"don't stop", {"don't", "stop"}},
      {"(yes), no.", {"yes", "no"}},
      {"a2b-c3 x'y'", {"a2b", "c3", "x'y'"}},
      {"'tis \xE9t\xE9 \xD0x", {"tis", "\xE9t\xE9", "x"}},  // Ð is no letter
      {"one\x92two", {"one", "two"}},                       // 0x92 ends a word
  };
  for (const Row& row : rows) {
    const int32_t b = OpenCopy(row.text);
    ASSERT_GE(b, 0);
    EXPECT_EQ(Info(b), row.words.size()) << row.text;
    EXPECT_EQ(Walk(b), row.words) << row.text;
    uint32_t cursor = 0;
    Info(b, &cursor);
    EXPECT_EQ(cursor, row.text.size()) << "a failed move leaves the cursor at the end";
    EXPECT_EQ(ORTH_NextBlockWord(session_, b), ERR_NOT_FOUND);
    ORTH_CloseBlock(session_, b);
  }
}

TEST_F(BlockTest, ReadingCutsToTheBufferAndReturnsTheStoppingByte) {
  const int32_t b = OpenCopy("  hello, world");
  struct Row {
    uint32_t size;
    std::string word;
    int32_t result;
  };
  const Row rows[] = {
      {1, "", 'h'}, {2, "h", 'e'}, {4, "hel", 'l'}, {6, "hello", ','}, {31, "hello", ','},
  };
  for (const Row& row : rows) {
    char buffer[40];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(ORTH_GetBlockWord(session_, b, buffer, row.size), row.result) << row.size;
    EXPECT_EQ(std::string(buffer), row.word) << row.size;
    EXPECT_EQ(buffer[row.size], '#') << "wrote past the buffer at size " << row.size;
  }
  // A buffer that cannot hold the NUL is refused and left untouched.
  char untouched = '#';
  EXPECT_EQ(ORTH_GetBlockWord(session_, b, &untouched, 0), ERR_BUFFER_TOO_SMALL);
  EXPECT_EQ(untouched, '#');
  EXPECT_EQ(ORTH_GetBlockWord(session_, b, nullptr, 8), ERR_BUFFER_TOO_SMALL);
  // The last word of the text is followed by 0.
  const int32_t last = OpenCopy("end");
  char word[8];
  EXPECT_EQ(ORTH_GetBlockWord(session_, last, word, sizeof word), 0);
}

TEST_F(BlockTest, ReplaceEditsInPlaceAndMovesTheTerminatingNul) {
  struct Row {
    std::string text;
    uint32_t capacity;
    int advance;  // words to skip before replacing
    std::string replacement;
    int32_t result;
    std::string after;
  };
  const std::vector<Row> rows = {
      {"teh cat", 16, 0, "the", 0, "the cat"},
      {"a cat", 6, 0, "an", ERR_BUFFER_TOO_SMALL, "a cat"},  // would reach the capacity
      {"a cat", 7, 0, "an", 0, "an cat"},
      {"a cat", 5, 0, "b", ERR_BUFFER_TOO_SMALL, "a cat"},  // capacity == length: refused...
      {"a cat", 5, 1, "do", 0, "a do"},                     // ...a shorter replacement fits
      {"a cat", 5, 1, "dog", ERR_BUFFER_TOO_SMALL, "a cat"},
      {"the end.", 20, 1, "", 0, "the ."},
      {"x " + std::string(35, 'q') + " y", 60, 1, "z", 0, "x z" + std::string(5, 'q') + " y"},
  };
  for (const Row& row : rows) {
    std::vector<char> buffer(row.capacity + 4, '#');
    std::memcpy(buffer.data(), row.text.data(), row.text.size());
    if (row.text.size() < row.capacity) buffer[row.text.size()] = '\0';
    const int32_t b = ORTH_OpenBlock(session_, buffer.data(),
                                     static_cast<uint32_t>(row.text.size()), row.capacity, 0);
    ASSERT_GE(b, 0);
    for (int i = 0; i < row.advance; ++i) ASSERT_EQ(ORTH_NextBlockWord(session_, b), 0);
    uint32_t cursorBefore = 0, cursorAfter = 0;
    Info(b, &cursorBefore);
    EXPECT_EQ(ORTH_ReplaceBlockWord(session_, b, row.replacement.c_str()), row.result) << row.text;
    const std::string& after = row.after;
    EXPECT_EQ(Text(b), after) << row.text;
    // In place: the caller's buffer holds the edit, still NUL-terminated
    // when it has room past the text, and nothing beyond the capacity moved.
    EXPECT_EQ(std::string(buffer.data(), after.size()), after);
    if (row.text.size() < row.capacity) {
      EXPECT_EQ(buffer[after.size()], '\0') << row.text;
    }
    EXPECT_EQ(buffer[row.capacity], '#');
    Info(b, &cursorAfter);
    EXPECT_EQ(cursorAfter, cursorBefore) << "the cursor stays on the replaced word";
    ORTH_CloseBlock(session_, b);
  }
  const int32_t b = OpenCopy("   ");
  EXPECT_EQ(ORTH_ReplaceBlockWord(session_, b, "x"), ERR_NOT_FOUND);
  EXPECT_EQ(ORTH_ReplaceBlockWord(session_, b, nullptr), ERR_BUFFER_TOO_SMALL);
}

TEST_F(BlockTest, CopiedBlocksLeaveTheCallersTextAlone) {
  char text[32] = "teh cat";
  const int32_t b = ORTH_OpenBlock(session_, text, 7, sizeof text, 1);
  ASSERT_EQ(ORTH_ReplaceBlockWord(session_, b, "the"), 0);
  EXPECT_EQ(Text(b), "the cat");
  EXPECT_EQ(std::string(text), "teh cat");
  // An empty copy with no capacity still opens and reads as empty.
  const int32_t empty = ORTH_OpenBlock(session_, nullptr, 0, 0, 1);
  ASSERT_GE(empty, 0);
  EXPECT_EQ(Text(empty), "");
  EXPECT_EQ(ORTH_ReplaceBlockWord(session_, empty, "x"), ERR_NOT_FOUND);
}

TEST_F(BlockTest, DeleteRemovesWordPunctuationAndFollowingSpace) {
  struct Row {
    std::string text;
    int advance;
    std::string after;
    std::string wordAfter;
  };
  const std::vector<Row> rows = {
      {"Hello, world", 0, "world", "world"},
      {"the end", 1, "the ", "<none>"},
      {"one  \t two", 0, "two", "two"},
      {"he said \"hi\" now", 1, "he \"hi\" now", "hi"},
  };
  for (const Row& row : rows) {
    const int32_t b = OpenCopy(row.text);
    for (int i = 0; i < row.advance; ++i) ASSERT_EQ(ORTH_NextBlockWord(session_, b), 0);
    EXPECT_EQ(ORTH_DelBlockWord(session_, b), 0);
    EXPECT_EQ(Text(b), row.after) << row.text;
    EXPECT_EQ(Word(b), row.wordAfter) << row.text;
    ORTH_CloseBlock(session_, b);
  }
  // After deleting «said », the cursor stands on the quote; a replacement
  // lands inside the quotes and leaves them intact.
  const int32_t b = OpenCopy("he said \"hi\" now");
  ASSERT_EQ(ORTH_NextBlockWord(session_, b), 0);
  ASSERT_EQ(ORTH_DelBlockWord(session_, b), 0);
  ASSERT_EQ(ORTH_ReplaceBlockWord(session_, b, "hey"), 0);
  EXPECT_EQ(Text(b), "he \"hey\" now");
  // In the caller's buffer the terminating NUL follows the shortened text.
  char inPlace[32] = "one two three";
  const int32_t own = ORTH_OpenBlock(session_, inPlace, 13, sizeof inPlace, 0);
  ASSERT_EQ(ORTH_NextBlockWord(session_, own), 0);
  ASSERT_EQ(ORTH_DelBlockWord(session_, own), 0);
  EXPECT_STREQ(inPlace, "one three");
  // With no byte past the text, nothing beyond it is touched.
  char full[4] = {'a', ' ', 'b', '#'};
  const int32_t tight = ORTH_OpenBlock(session_, full, 3, 3, 0);
  ASSERT_EQ(ORTH_DelBlockWord(session_, tight), 0);
  EXPECT_EQ(std::string(full, 4), "b b#");
  // Deleting at the end of the text changes nothing and still succeeds.
  const int32_t end = OpenCopy("...");
  EXPECT_EQ(ORTH_DelBlockWord(session_, end), 0);
  EXPECT_EQ(Text(end), "...");
}

TEST_F(BlockTest, InfoReportsWithoutChangingTheBlock) {
  const int32_t b = OpenCopy("alpha beta gamma", 40);
  ASSERT_EQ(ORTH_NextBlockWord(session_, b), 0);
  uint32_t length = 0, capacity = 0, cursor = 0, count = 0;
  EXPECT_EQ(ORTH_GetBlockInfo(session_, b, &length, &capacity, &cursor, &count), 0);
  EXPECT_EQ(length, 16u);
  EXPECT_EQ(capacity, 40u);
  EXPECT_EQ(cursor, 6u);
  EXPECT_EQ(count, 3u);
  EXPECT_EQ(ORTH_GetBlockInfo(session_, b, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(Word(b), "beta");
}

TEST_F(BlockTest, GetBlockNeedsRoomForTheWholeText) {
  const int32_t b = OpenCopy("abc def");
  char out[8] = "#######";
  EXPECT_EQ(ORTH_GetBlock(session_, b, out, 6), ERR_BUFFER_TOO_SMALL);
  EXPECT_EQ(std::string(out), "#######");
  EXPECT_EQ(ORTH_GetBlock(session_, b, out, 7), 7);  // no NUL is added
  EXPECT_EQ(std::string(out), "abc def");
  EXPECT_EQ(ORTH_GetBlock(session_, b, nullptr, 100), ERR_BUFFER_TOO_SMALL);
  const int32_t empty = OpenCopy("");
  EXPECT_EQ(ORTH_GetBlock(session_, empty, nullptr, 0), 0);
}

}  // namespace
