// The road of a typical request, end to end on the bundled English
// dictionary and a user word list: walk a paragraph, correct a misspelling,
// accept a word into the user list, and find it again after a reopen.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "lex_file_builder.h"
#include "orth.h"

namespace {

std::string EnglishDictionary() {
  return ORTH_DICT_DIR "/en_US.olx";
}

TEST(TypicalRequest, CheckCorrectAndLearnAcrossSessions) {
  orth::test::TempDir dir;
  const std::string userList = dir.PathOf("user.lex");
  int32_t s = ORTH_OpenSession();
  ASSERT_GE(s, 0);
  ASSERT_EQ(ORTH_OpenLex(s, EnglishDictionary().c_str(), 64 * 1024), 0) << EnglishDictionary();
  ASSERT_EQ(ORTH_CreateLex(s, userList.c_str(), LEX_TYPE_ACCEPT, 1033), 1);

  char text[256] = "The quick brown fox jumpd over the the lazy dog near Zorblatt's house.";
  const int32_t b =
      ORTH_OpenBlock(s, text, static_cast<uint32_t>(std::strlen(text)), sizeof text, 0);
  ASSERT_EQ(b, 0);
  const uint32_t options = OPT_REPORT_MISSPELLED | OPT_REPORT_DOUBLED_WORD;
  char word[WORD_MAX + 1], other[WORD_MAX + 1];
  std::vector<std::string> seen;
  for (int guard = 0; guard < 20; ++guard) {
    const int32_t r = ORTH_CheckBlock(s, b, options, word, sizeof word, other, sizeof other);
    if (r == RES_END_OF_BLOCK) break;
    seen.push_back(std::string(word) + ":" + std::to_string(r));
    if (r == RES_MISSPELLED && std::string(word) == "jumpd") {
      ASSERT_EQ(ORTH_ReplaceBlockWord(s, b, "jumped"), 0);  // checked again next time round
    } else if (r == RES_DOUBLED_WORD) {
      ASSERT_EQ(ORTH_DelBlockWord(s, b), 0);
    } else if (r == RES_MISSPELLED) {
      ASSERT_EQ(ORTH_AddToLex(s, 1, word, nullptr), 0);
      ASSERT_EQ(ORTH_NextBlockWord(s, b), 0);
    } else {
      ASSERT_EQ(ORTH_NextBlockWord(s, b), 0);
    }
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"jumpd:1", "the:128", "Zorblatt's:1"}));
  EXPECT_STREQ(text, "The quick brown fox jumped over the lazy dog near Zorblatt's house.");

  ASSERT_EQ(ORTH_CloseBlock(s, b), 0);
  ASSERT_EQ(ORTH_CloseLex(s, 1), 0);  // saves the user list
  ASSERT_EQ(ORTH_CloseSession(s), 0);

  s = ORTH_OpenSession();
  ASSERT_EQ(ORTH_OpenLex(s, EnglishDictionary().c_str(), -1), 0);
  EXPECT_EQ(ORTH_CheckWord(s, OPT_REPORT_MISSPELLED, "Zorblatt", nullptr, 0), RES_MISSPELLED);
  ASSERT_EQ(ORTH_OpenLex(s, userList.c_str(), 0), 1);
  EXPECT_EQ(ORTH_CheckWord(s, OPT_REPORT_MISSPELLED, "Zorblatt", nullptr, 0), 0);
  EXPECT_EQ(ORTH_CheckWord(s, OPT_REPORT_MISSPELLED, "ZORBLATT's", nullptr, 0), 0);
  ORTH_CloseSession(s);
}

TEST(TypicalRequest, EnglishDictionaryAcceptsCommonFormsAndRejectsTypos) {
  const int32_t s = ORTH_OpenSession();
  ASSERT_EQ(ORTH_OpenLex(s, EnglishDictionary().c_str(), 32 * 1024), 0);
  struct Row {
    const char* word;
    int32_t findings;
  };
  const Row rows[] = {
      {"a", 0},       {"I", 0},        {"the", 0},        {"The", 0},
      {"receive", 0}, {"dog's", 0},    {"couldn't", 0},   {"O'Neill", 0},
      {"caf\xE9", 0}, {"nation's", 0}, {"recieve", 1},    {"teh", 1},
      {"wierd", 1},   {"xq", 1},       {"accomodate", 1}, {"definately", 1},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ORTH_CheckWord(s, OPT_REPORT_MISSPELLED, row.word, nullptr, 0), row.findings)
        << row.word;
  }
  ORTH_CloseSession(s);
}

}  // namespace
