// The exported lexicon functions: check order, slots, saving, info, listing.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "lex_file_builder.h"
#include "orth.h"

namespace {

using orth::test::TempDir;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

std::vector<std::string> Listing(int32_t session, int32_t lex) {
  std::vector<char> buffer(4096);
  const int32_t n = ORTH_GetLex(session, lex, buffer.data(), static_cast<uint32_t>(buffer.size()));
  std::vector<std::string> words;
  if (n < 0) return {"<error " + std::to_string(n) + ">"};
  for (const char* p = buffer.data(); *p != '\0'; p += words.back().size() + 1) words.push_back(p);
  EXPECT_EQ(static_cast<size_t>(n), words.size());
  return words;
}

class LexApiTest : public ::testing::Test {
 protected:
  void SetUp() override { session_ = ORTH_OpenSession(); }
  void TearDown() override { ORTH_CloseSession(session_); }

  // A small compressed dictionary holding only short words.
  std::string CompressedFile(uint16_t language = 1033) {
    orth::test::LexFileParts parts;
    parts.language = language;
    parts.shortWords = {"a", "an", "is", "it"};
    return dir_.Write("small.olx", orth::test::AssembleLexFile(parts));
  }

  TempDir dir_;
  int32_t session_ = -1;
};

TEST_F(LexApiTest, EveryExportChecksSessionThenLexicon) {
  static char buffer[64];
  static int32_t out;
  struct Export {
    const char* name;
    std::function<int32_t(int32_t, int32_t)> call;
  };
  const std::vector<Export> exports = {
      {"ORTH_CloseLex", [](int32_t s, int32_t l) { return ORTH_CloseLex(s, l); }},
      {"ORTH_AddToLex", [](int32_t s, int32_t l) { return ORTH_AddToLex(s, l, "x", nullptr); }},
      {"ORTH_DelFromLex", [](int32_t s, int32_t l) { return ORTH_DelFromLex(s, l, "x"); }},
      {"ORTH_ClearLex", [](int32_t s, int32_t l) { return ORTH_ClearLex(s, l); }},
      {"ORTH_GetLexInfo",
       [](int32_t s, int32_t l) { return ORTH_GetLexInfo(s, l, &out, &out, &out, &out); }},
      {"ORTH_GetLex", [](int32_t s, int32_t l) { return ORTH_GetLex(s, l, buffer, 0); }},
      {"ORTH_SetLexOptions",
       [](int32_t s, int32_t l) { return ORTH_SetLexOptions(s, l, LEXOPT_CHECK_ONLY); }},
  };
  ASSERT_EQ(ORTH_CreateLex(session_, nullptr, LEX_TYPE_ACCEPT, 0), 0);
  for (const Export& e : exports) {
    for (int32_t badSession : {-1, session_ + 1, 16}) {
      EXPECT_EQ(e.call(badSession, 99), ERR_BAD_SESSION) << e.name;
    }
    for (int32_t badLex : {-1, 1, 15, 16})
      EXPECT_EQ(e.call(session_, badLex), ERR_BAD_LEX) << e.name;
  }
  EXPECT_EQ(ORTH_CreateLex(16, nullptr, 7, 0), ERR_BAD_SESSION);
  EXPECT_EQ(ORTH_OpenLex(-1, nullptr, 0), ERR_BAD_SESSION);
}

TEST_F(LexApiTest, SlotsAreHandedOutLowestFirstAndTypeIsCheckedBeforeSlots) {
  const std::string compressed = CompressedFile();
  for (int32_t i = 0; i < MAX_LEXICONS; ++i) {
    const int32_t lex = i % 2 == 0 ? ORTH_CreateLex(session_, "", i % 3, i)
                                   : ORTH_OpenLex(session_, compressed.c_str(), -1);
    EXPECT_EQ(lex, i);
  }
  EXPECT_EQ(ORTH_CreateLex(session_, nullptr, 3, 0), ERR_BAD_FORMAT);
  EXPECT_EQ(ORTH_CreateLex(session_, nullptr, -1, 0), ERR_BAD_FORMAT);
  EXPECT_EQ(ORTH_CreateLex(session_, nullptr, 1, 0), ERR_TOO_MANY_LEXICONS);
  EXPECT_EQ(ORTH_OpenLex(session_, compressed.c_str(), -1), ERR_TOO_MANY_LEXICONS);
  EXPECT_EQ(ORTH_OpenLex(session_, nullptr, -1), ERR_TOO_MANY_LEXICONS);
  EXPECT_EQ(ORTH_CloseLex(session_, 3), 0);
  EXPECT_EQ(ORTH_CloseLex(session_, 3), ERR_BAD_LEX);
  EXPECT_EQ(ORTH_OpenLex(session_, compressed.c_str(), 0), 3);
}

TEST_F(LexApiTest, OpenRefusesMissingForeignAndDamagedFiles) {
  const std::string missing = dir_.PathOf("missing.lex");
  const std::string foreign = dir_.Write("foreign.txt", {'h', 'i', '\n'});
  std::ofstream(dir_.PathOf("type3.lex")) << "#LID 1033 3 0\nword\n";
  orth::test::LexFileParts badMagic;
  badMagic.magic = 0x12345678;
  const std::string wrongMagic = dir_.Write("magic.olx", orth::test::AssembleLexFile(badMagic));
  struct Row {
    std::string path;
    int32_t code;
  };
  const Row rows[] = {
      {missing, ERR_FILE_OPEN},
      {foreign, ERR_BAD_FORMAT},
      {dir_.PathOf("type3.lex"), ERR_BAD_FORMAT},
      {wrongMagic, ERR_BAD_FORMAT},
      {std::string(300, 'x'), ERR_FILE_OPEN},
  };
  for (const Row& row : rows) EXPECT_EQ(ORTH_OpenLex(session_, row.path.c_str(), -1), row.code);
  EXPECT_EQ(ORTH_OpenLex(session_, nullptr, -1), ERR_FILE_OPEN);
  // Every failure left the slot free.
  EXPECT_EQ(ORTH_CreateLex(session_, nullptr, LEX_TYPE_ACCEPT, 0), 0);
}

TEST_F(LexApiTest, CreateWritesTheHeaderAndRefusesExistingOrOverlongNames) {
  const std::string path = dir_.PathOf("user.lex");
  const int32_t lex = ORTH_CreateLex(session_, path.c_str(), LEX_TYPE_ACCEPT, 1033);
  ASSERT_EQ(lex, 0);
  EXPECT_EQ(ReadFile(path), "#LID 1033 1 0\n");
  EXPECT_EQ(ORTH_CreateLex(session_, path.c_str(), LEX_TYPE_ACCEPT, 9), ERR_FILE_EXISTS);
  EXPECT_EQ(ReadFile(path), "#LID 1033 1 0\n");
  const std::string longName = dir_.PathOf(std::string(260, 'n'));
  EXPECT_EQ(ORTH_CreateLex(session_, longName.c_str(), LEX_TYPE_ACCEPT, 0), ERR_FILE_OPEN);
  EXPECT_EQ(ORTH_CreateLex(session_, dir_.PathOf("no/such/dir.lex").c_str(), 1, 0), ERR_FILE_OPEN);
  // Closed without changes: the file keeps only its header.
  EXPECT_EQ(ORTH_CloseLex(session_, lex), 0);
  EXPECT_EQ(ReadFile(path), "#LID 1033 1 0\n");
}

TEST_F(LexApiTest, CloseSavesOnlyModifiedListsAndSessionCloseDiscards) {
  const std::string path = dir_.PathOf("words.lex");
  int32_t lex = ORTH_CreateLex(session_, path.c_str(), LEX_TYPE_CHANGE, 7);
  ASSERT_EQ(ORTH_AddToLex(session_, lex, "Teh", "the"), 0);
  ASSERT_EQ(ORTH_AddToLex(session_, lex, "adn", "and"), 0);
  ASSERT_EQ(ORTH_CloseLex(session_, lex), 0);
  EXPECT_EQ(ReadFile(path), "#LID 0007 0 2\nadn:and\nteh:the\n");

  // Changes made after reopening are lost when the session closes...
  lex = ORTH_OpenLex(session_, path.c_str(), 0);
  ASSERT_EQ(ORTH_AddToLex(session_, lex, "wrod", "word"), 0);
  ORTH_CloseSession(session_);
  EXPECT_EQ(ReadFile(path), "#LID 0007 0 2\nadn:and\nteh:the\n");
  // ...and saved when the lexicon is closed on its own.
  session_ = ORTH_OpenSession();
  lex = ORTH_OpenLex(session_, path.c_str(), 0);
  EXPECT_EQ(Listing(session_, lex), (std::vector<std::string>{"adn:and", "teh:the"}));
  ASSERT_EQ(ORTH_DelFromLex(session_, lex, "ADN"), 0);
  ASSERT_EQ(ORTH_CloseLex(session_, lex), 0);
  EXPECT_EQ(ReadFile(path), "#LID 0007 0 1\nteh:the\n");
}

TEST_F(LexApiTest, AFailedSaveKeepsTheLexiconOpenAndTheFileIntact) {
  const std::string folder = dir_.PathOf("locked");
  std::filesystem::create_directory(folder);
  const std::string path = folder + "/user.lex";
  const int32_t lex = ORTH_CreateLex(session_, path.c_str(), LEX_TYPE_ACCEPT, 0);
  ASSERT_EQ(ORTH_AddToLex(session_, lex, "zyzzyva", nullptr), 0);
  // The file's folder vanishes (a removed drive, say): the save cannot work.
  std::filesystem::remove_all(folder);
  EXPECT_EQ(ORTH_CloseLex(session_, lex), ERR_FILE_OPEN);
  EXPECT_EQ(ORTH_CheckWord(session_, OPT_REPORT_MISSPELLED, "zyzzyva", nullptr, 0), 0);
  // Once the folder is back, a later close saves.
  std::filesystem::create_directory(folder);
  EXPECT_EQ(ORTH_CloseLex(session_, lex), 0);
  EXPECT_EQ(ReadFile(path), "#LID 0000 1 1\nzyzzyva\n");
}

TEST_F(LexApiTest, EditingRulesAndCodes) {
  const int32_t accept = ORTH_CreateLex(session_, nullptr, LEX_TYPE_ACCEPT, 0);
  const int32_t change = ORTH_CreateLex(session_, nullptr, LEX_TYPE_CHANGE, 0);
  const int32_t suggest = ORTH_CreateLex(session_, nullptr, LEX_TYPE_SUGGEST, 0);
  const int32_t compressed = ORTH_OpenLex(session_, CompressedFile().c_str(), -1);
  struct Row {
    const char* what;
    int32_t result;
    int32_t expected;
  };
  const Row rows[] = {
      {"other word missing", ORTH_AddToLex(session_, change, "teh", nullptr),
       ERR_OTHER_WORD_MISSING},
      {"suggest needs one too", ORTH_AddToLex(session_, suggest, "x", nullptr),
       ERR_OTHER_WORD_MISSING},
      {"missing other word before empty word", ORTH_AddToLex(session_, change, "'s", nullptr),
       ERR_OTHER_WORD_MISSING},
      {"accept ignores the other word", ORTH_AddToLex(session_, accept, "Hello", "ignored"), 0},
      {"same word in capitals", ORTH_AddToLex(session_, accept, "HELLO", nullptr), 0},
      {"nothing left to store", ORTH_AddToLex(session_, accept, "'", nullptr), ERR_BAD_FORMAT},
      {"possessive alone", ORTH_AddToLex(session_, accept, "'s", nullptr), ERR_BAD_FORMAT},
      {"null word", ORTH_AddToLex(session_, accept, nullptr, nullptr), ERR_BAD_FORMAT},
      // Entries that would not read back from the file as they were added.
      {"comment mark", ORTH_AddToLex(session_, accept, "#tag", nullptr), ERR_BAD_FORMAT},
      {"line end", ORTH_AddToLex(session_, accept, "two\nlines", nullptr), ERR_BAD_FORMAT},
      {"colon in a change word", ORTH_AddToLex(session_, change, "a:b", "c"), ERR_BAD_FORMAT},
      {"line end in other word", ORTH_AddToLex(session_, suggest, "ab", "c\rd"), ERR_BAD_FORMAT},
      {"colon in an accepted word", ORTH_AddToLex(session_, accept, "re:", nullptr), 0},
      {"colon in an other word", ORTH_AddToLex(session_, change, "ab", "c:d"), 0},
      {"delete missing", ORTH_DelFromLex(session_, accept, "absent"), ERR_NOT_FOUND},
      {"add to dictionary", ORTH_AddToLex(session_, compressed, "x", nullptr), ERR_LEX_READ_ONLY},
      {"delete from dictionary", ORTH_DelFromLex(session_, compressed, "a"), ERR_LEX_READ_ONLY},
      {"clear dictionary", ORTH_ClearLex(session_, compressed), ERR_LEX_READ_ONLY},
      {"list dictionary", ORTH_GetLex(session_, compressed, nullptr, 0), ERR_LEX_NOT_LISTABLE},
  };
  for (const Row& row : rows) EXPECT_EQ(row.result, row.expected) << row.what;
  EXPECT_EQ(Listing(session_, accept), (std::vector<std::string>{"hello", "re:"}));
  EXPECT_EQ(Listing(session_, change), (std::vector<std::string>{"ab:c:d"}));
}

TEST_F(LexApiTest, InfoAndListingOnBothFormats) {
  const int32_t text = ORTH_CreateLex(session_, nullptr, LEX_TYPE_SUGGEST, 1031);
  ASSERT_EQ(ORTH_AddToLex(session_, text, "Alot", "a lot"), 0);
  ASSERT_EQ(ORTH_AddToLex(session_, text, "irregardless", "regardless"), 0);
  int32_t size = -1, format = -1, type = -1, language = -1;
  EXPECT_EQ(ORTH_GetLexInfo(session_, text, &size, &format, &type, &language), 0);
  const int32_t expectedSize = sizeof "alot:a lot" + sizeof "irregardless:regardless" + 1;
  EXPECT_EQ(size, expectedSize);
  EXPECT_EQ(format, LEX_FORMAT_TEXT);
  EXPECT_EQ(type, LEX_TYPE_SUGGEST);
  EXPECT_EQ(language, 1031);
  std::vector<char> buffer(size, '#');
  EXPECT_EQ(ORTH_GetLex(session_, text, buffer.data(), size - 1), ERR_BUFFER_TOO_SMALL);
  EXPECT_EQ(ORTH_GetLex(session_, text, buffer.data(), size), 2);
  EXPECT_EQ(std::string(buffer.data(), size),
            std::string("alot:a lot\0irregardless:regardless\0\0", size));

  const int32_t dict = ORTH_OpenLex(session_, CompressedFile(1036).c_str(), 4096);
  EXPECT_EQ(ORTH_GetLexInfo(session_, dict, &size, &format, &type, &language), 0);
  EXPECT_EQ(size, 0);
  EXPECT_EQ(format, LEX_FORMAT_COMPRESSED);
  EXPECT_EQ(type, LEX_TYPE_ACCEPT);
  EXPECT_EQ(language, 1036);
  EXPECT_EQ(ORTH_GetLexInfo(session_, dict, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(ORTH_CheckWord(session_, OPT_REPORT_MISSPELLED, "It", nullptr, 0), 0);
  EXPECT_EQ(ORTH_CheckWord(session_, OPT_REPORT_MISSPELLED, "ix", nullptr, 0), RES_MISSPELLED);
}

TEST_F(LexApiTest, TheSameFileOpenedTwiceGivesIndependentLexicons) {
  const std::string path = dir_.PathOf("twice.lex");
  ASSERT_EQ(ORTH_CreateLex(session_, path.c_str(), LEX_TYPE_ACCEPT, 0), 0);
  ASSERT_EQ(ORTH_CloseLex(session_, 0), 0);
  const int32_t first = ORTH_OpenLex(session_, path.c_str(), 0);
  const int32_t second = ORTH_OpenLex(session_, path.c_str(), 0);
  ASSERT_EQ(ORTH_AddToLex(session_, first, "alpha", nullptr), 0);
  ASSERT_EQ(ORTH_AddToLex(session_, second, "beta", nullptr), 0);
  EXPECT_EQ(Listing(session_, first), (std::vector<std::string>{"alpha"}));
  ASSERT_EQ(ORTH_CloseLex(session_, first), 0);
  ASSERT_EQ(ORTH_CloseLex(session_, second), 0);
  EXPECT_EQ(ReadFile(path), "#LID 0000 1 1\nbeta\n");  // the last close wins
}

}  // namespace
