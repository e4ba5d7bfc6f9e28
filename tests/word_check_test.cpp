// The word check: option order, finding bits, buffer rules and slot order.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "check/word_check.h"
#include "lex_file_builder.h"
#include "orth.h"

namespace {

constexpr uint32_t MISSPELLED = OPT_REPORT_MISSPELLED;

class WordCheckTest : public ::testing::Test {
 protected:
  void SetUp() override { session_ = ORTH_OpenSession(); }
  void TearDown() override { ORTH_CloseSession(session_); }

  int32_t Lexicon(int32_t type, const std::vector<std::pair<const char*, const char*>>& entries) {
    const int32_t lex = ORTH_CreateLex(session_, nullptr, type, 0);
    for (const auto& [word, other] : entries)
      EXPECT_EQ(ORTH_AddToLex(session_, lex, word, other), 0);
    return lex;
  }
  // Checks word with a 64-byte buffer; returns the findings and the buffer.
  std::pair<int32_t, std::string> Check(uint32_t options, const char* word) {
    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    buffer[63] = '\0';
    const int32_t r = ORTH_CheckWord(session_, options, word, buffer, sizeof buffer);
    return {r, buffer};
  }

  int32_t session_ = -1;
};

TEST(MixedCase, OnlyStepsFromTheSecondCharacterOnCount) {
  struct Row {
    const char* word;
    bool mixed;
  };
  const Row rows[] = {
      {"Hello", false},    {"hELLO", false}, {"HEllo", true}, {"McDonald", true},
      {"O'Neill", true},   {"'Tis", true},   {"", false},     {"a", false},
      {"ABC", false},      {"aB", false},    {"abC", true},   {"x'Y", false},
      {"\xC9t\xC9", true}, {"i18N", false},
  };
  for (const Row& row : rows) EXPECT_EQ(orth::IsMixedCase(row.word), row.mixed) << row.word;
}

TEST_F(WordCheckTest, OptionAndFindingMatrix) {
  Lexicon(LEX_TYPE_ACCEPT, {{"hello", nullptr}, {"world", nullptr}, {"don't", nullptr}});
  struct Row {
    uint32_t options;
    const char* word;
    int32_t findings;
    const char* buffer;
  };
  const Row rows[] = {
      {0, "Xyzzy", 0, "Xyzzy"},
      {0, "'s", 0, "###"},  // nothing to check: the buffer is not written
      {MISSPELLED, "Xyzzy", RES_MISSPELLED, "Xyzzy"},
      {MISSPELLED, "HELLO", 0, "HELLO"},
      {MISSPELLED, "hello's", 0, "hello's"},
      {OPT_IGNORE_CAPITALIZED | MISSPELLED, "Xyzzy", 0, "Xyzzy"},
      {OPT_IGNORE_MIXED_CASE | MISSPELLED, "XyZzy", 0, "XyZzy"},
      {OPT_IGNORE_NON_ALPHA | MISSPELLED, "x2z", 0, "x2z"},
      {OPT_IGNORE_NON_ALPHA | MISSPELLED, "don\x92t", 0, "don\x92t"},
      {OPT_REPORT_UNCAPITALIZED, "hello", RES_UNCAPITALIZED, "Hello"},
      {OPT_REPORT_UNCAPITALIZED, "'Tis", RES_UNCAPITALIZED, "'Tis"},
      {OPT_REPORT_UNCAPITALIZED,
       "\xDF"
       "e",
       RES_UNCAPITALIZED,
       "\xDF"
       "e"},  // ß has no capital
      {OPT_REPORT_MIXED_CASE, "HEllo", RES_MIXED_CASE, "Hello"},
      {OPT_REPORT_MIXED_CASE, "heLLo", RES_MIXED_CASE, "hello"},
      {OPT_REPORT_MIXED_CASE, "hELLO", 0, "hELLO"},
      {OPT_REPORT_UNCAPITALIZED | OPT_REPORT_MIXED_CASE | MISSPELLED, "HEllo", RES_MIXED_CASE,
       "Hello"},
      {OPT_REPORT_UNCAPITALIZED | OPT_REPORT_MIXED_CASE | MISSPELLED, "wORLD", RES_UNCAPITALIZED,
       "WORLD"},
      {MISSPELLED | OPT_REPORT_NON_ALPHA, "x2z", RES_MISSPELLED | RES_NON_ALPHA, "x2z"},
      {MISSPELLED | OPT_REPORT_NON_ALPHA, "dont't", RES_MISSPELLED, "dont't"},
      {MISSPELLED | OPT_REPORT_NON_ALPHA, "don\x92t", RES_MISSPELLED | RES_NON_ALPHA, "don\x92t"},
      {OPT_REPORT_NON_ALPHA, "x2z", 0, "x2z"},  // no lookup, so no misspelling to mark
      {MISSPELLED, nullptr, 0, "###"},
  };
  for (const Row& row : rows) {
    const auto [findings, buffer] = Check(row.options, row.word);
    const std::string name = row.word != nullptr ? row.word : "(null)";
    EXPECT_EQ(findings, row.findings) << name << " options 0x" << std::hex << row.options;
    EXPECT_EQ(buffer.substr(0, std::strlen(row.buffer)), row.buffer) << name;
  }
}

TEST_F(WordCheckTest, BufferRules) {
  Lexicon(LEX_TYPE_ACCEPT, {{"hello", nullptr}});
  char buffer[8];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(ORTH_CheckWord(session_, MISSPELLED, "hello", buffer, 1), 0);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[1], '#');
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(ORTH_CheckWord(session_, MISSPELLED, "hello", buffer, 0), 0);
  EXPECT_EQ(buffer[0], '#');
  EXPECT_EQ(ORTH_CheckWord(session_, MISSPELLED, "hello", nullptr, 0), 0);
  EXPECT_EQ(ORTH_CheckWord(session_, MISSPELLED, "hello", nullptr, 99), 0);
  // A word is cut to the buffer, the rest of which is filled with NULs.
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(ORTH_CheckWord(session_, 0, "abc", buffer, 6), 0);
  EXPECT_EQ(std::string(buffer, 7), std::string("abc\0\0\0#", 7));
  EXPECT_EQ(ORTH_CheckWord(session_, 0, "abcdefgh", buffer, 4), 0);
  EXPECT_EQ(std::string(buffer), "abc");
  // A 40-character word is copied whole; its lookup uses the first 30.
  Lexicon(LEX_TYPE_ACCEPT, {{std::string(30, 'q').c_str(), nullptr}});
  const std::string longWord = std::string(30, 'q') + std::string(10, 'z');
  const auto [findings, copy] = Check(MISSPELLED, longWord.c_str());
  EXPECT_EQ(findings, 0);
  EXPECT_EQ(copy, longWord);
  EXPECT_EQ(ORTH_CheckWord(-1, MISSPELLED, "x", nullptr, 0), ERR_BAD_SESSION);
}

TEST_F(WordCheckTest, NoLexiconMeansEverythingIsMisspelled) {
  EXPECT_EQ(Check(MISSPELLED, "the").first, RES_MISSPELLED);
  EXPECT_EQ(Check(MISSPELLED, "'").first, 0);
}

TEST_F(WordCheckTest, TheFirstSlotThatKnowsTheWordAnswers) {
  // Slot 0: change list; slot 1: dictionary; slot 2: suggest list.
  Lexicon(LEX_TYPE_CHANGE, {{"teh", "the"}, {"recieve", "receive"}});
  Lexicon(LEX_TYPE_ACCEPT, {{"the", nullptr}, {"color", nullptr}, {"recieve", nullptr}});
  Lexicon(LEX_TYPE_SUGGEST, {{"color", "colour"}, {"alot", "a lot"}});
  struct Row {
    const char* word;
    int32_t findings;
    const char* buffer;
  };
  const Row rows[] = {
      {"teh", RES_CHANGE_WORD, "the"},
      {"Recieve", RES_CHANGE_WORD, "receive"},  // the change list comes first
      {"color", 0, "color"},                    // the dictionary comes before the suggestions
      {"alot", RES_SUGGEST_WORD, "a lot"},
      {"the", 0, "the"},
      {"xyz", RES_MISSPELLED, "xyz"},
  };
  for (const Row& row : rows) {
    const auto [findings, buffer] = Check(MISSPELLED, row.word);
    EXPECT_EQ(findings, row.findings) << row.word;
    EXPECT_EQ(buffer, row.buffer) << row.word;
  }
  // The other word is cut to the buffer.
  char small[5];
  EXPECT_EQ(ORTH_CheckWord(session_, MISSPELLED, "recieve", small, sizeof small), RES_CHANGE_WORD);
  EXPECT_EQ(std::string(small), "rece");
}

TEST_F(WordCheckTest, ApostrophePiecesRescueAWord) {
  // Pieces that end in an apostrophe cannot be added through the interface
  // (adding normalises them), so they come from a file.
  orth::test::TempDir dir;
  const std::string path = dir.PathOf("pieces.lex");
  std::ofstream(path) << "#LID 1036 1 6\nhomme\nici\njusqu'\nn'\nrock'\nroll\n";
  ASSERT_EQ(ORTH_OpenLex(session_, path.c_str(), 0), 0);
  constexpr uint32_t SPLIT = MISSPELLED | OPT_SPLIT_AT_APOSTROPHE;
  struct Row {
    uint32_t options;
    const char* word;
    int32_t findings;
  };
  const Row rows[] = {
      {SPLIT, "jusqu'ici", 0},
      {MISSPELLED, "jusqu'ici", RES_MISSPELLED},
      {SPLIT, "rock'n'roll", 0},
      {SPLIT, "rock'n'rol", RES_MISSPELLED},
      {SPLIT, "jusqu'la", RES_MISSPELLED},
      {MISSPELLED, "l'homme", 0},  // the elision is gone before any lookup
      {SPLIT, "don\x92t", RES_MISSPELLED},
  };
  for (const Row& row : rows)
    EXPECT_EQ(Check(row.options, row.word).first, row.findings) << row.word;
}

}  // namespace
