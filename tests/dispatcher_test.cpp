// The message dispatcher: each message reaches its function with the generic
// arguments in order, and every other number does nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "lex_file_builder.h"
#include "lexcompiler/lex_compiler.h"
#include "orth.h"

namespace {

using orth::test::TempDir;

intptr_t P(const void* pointer) {
  return reinterpret_cast<intptr_t>(pointer);
}

int32_t Send(uint32_t message, intptr_t a1 = 0, intptr_t a2 = 0, intptr_t a3 = 0, intptr_t a4 = 0,
             intptr_t a5 = 0, intptr_t a6 = 0, intptr_t a7 = 0) {
  return qzptSendORTHMessage(message, a1, a2, a3, a4, a5, a6, a7);
}

// The strings of a list ended by an empty string.
std::vector<std::string> Words(const char* buffer) {
  std::vector<std::string> words;
  for (const char* p = buffer; *p != '\0'; p += words.back().size() + 1) words.emplace_back(p);
  return words;
}

class DispatcherTest : public ::testing::Test {
 protected:
  void SetUp() override { session_ = ORTH_OpenSession(); }
  void TearDown() override { ORTH_CloseSession(session_); }

  std::string Dictionary(const std::vector<std::string>& words) {
    orth::CompileSummary summary;
    std::string error;
    const std::string path = dir_.PathOf("main.olx");
    EXPECT_TRUE(orth::CompileWordEntries(words, path, {}, summary, error)) << error;
    return path;
  }

  TempDir dir_;
  int32_t session_ = -1;
};

TEST_F(DispatcherTest, SessionMessages) {
  const int32_t opened = Send(MSG_OPEN_SESSION, 77, 77, 77);
  ASSERT_EQ(opened, session_ + 1);
  EXPECT_EQ(Send(MSG_CLOSE_SESSION, opened, 99), 0);
  EXPECT_EQ(Send(MSG_CLOSE_SESSION, opened), ERR_BAD_SESSION);
  EXPECT_EQ(ORTH_OpenSession(), opened);  // the number is free again
  EXPECT_EQ(Send(MSG_CLOSE_SESSION, -1), ERR_BAD_SESSION);
  EXPECT_EQ(ORTH_CloseSession(opened), 0);

  // a1 is never read; a2 gets the major and a3 the minor version.
  int32_t untouched = -5, major = -1, minor = -1;
  EXPECT_EQ(Send(MSG_VERSION, P(&untouched), P(&major), P(&minor)), 0);
  EXPECT_EQ(untouched, -5);
  EXPECT_EQ(major, 3);
  EXPECT_EQ(minor, 3);
  major = minor = -1;
  EXPECT_EQ(Send(MSG_VERSION, 12345, P(&major), P(&minor)), 0);
  EXPECT_EQ(major, 3);
  EXPECT_EQ(minor, 3);
}

TEST_F(DispatcherTest, TextLexiconMessages) {
  const std::string file = dir_.PathOf("user.lex");
  // CreateLex(session, file name, type, language).
  EXPECT_EQ(Send(MSG_CREATE_LEX, session_, P(file.c_str()), 3, LEX_TYPE_ACCEPT), ERR_BAD_FORMAT);
  const int32_t lex = Send(MSG_CREATE_LEX, session_, P(file.c_str()), LEX_TYPE_SUGGEST, 1234);
  ASSERT_EQ(lex, 0);
  EXPECT_EQ(Send(MSG_CREATE_LEX, session_, P(file.c_str()), LEX_TYPE_ACCEPT, 0), ERR_FILE_EXISTS);

  // GetLexInfo(session, lexicon, size, format, type, language).
  int32_t size = -1, format = -1, type = -1, language = -1;
  EXPECT_EQ(Send(MSG_GET_LEX_INFO, session_, lex, P(&size), P(&format), P(&type), P(&language)), 0);
  EXPECT_EQ(size, 1);  // the empty string of an empty listing
  EXPECT_EQ(format, LEX_FORMAT_TEXT);
  EXPECT_EQ(type, LEX_TYPE_SUGGEST);
  EXPECT_EQ(language, 1234);

  // AddToLex(session, lexicon, word, other word).
  EXPECT_EQ(Send(MSG_ADD_TO_LEX, session_, lex, P("teh"), 0), ERR_OTHER_WORD_MISSING);
  EXPECT_EQ(Send(MSG_ADD_TO_LEX, session_, lex, P("teh"), P("the")), 0);
  EXPECT_EQ(Send(MSG_ADD_TO_LEX, session_, lex, P("adn"), P("and")), 0);

  // GetLex(session, lexicon, buffer, size).
  char buffer[64];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(Send(MSG_GET_LEX, session_, lex, P(buffer), 8), ERR_BUFFER_TOO_SMALL);
  EXPECT_EQ(Send(MSG_GET_LEX, session_, lex, P(buffer), sizeof buffer), 2);
  EXPECT_EQ(Words(buffer), (std::vector<std::string>{"adn:and", "teh:the"}));

  // CheckWord(session, options, word, buffer, size).
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(Send(MSG_CHECK_WORD, session_, OPT_REPORT_MISSPELLED, P("teh"), P(buffer), 3),
            RES_SUGGEST_WORD);
  EXPECT_EQ(std::string(buffer, 4), std::string("th\0#", 4));
  EXPECT_EQ(Send(MSG_CHECK_WORD, session_, 0, P("teh"), P(buffer), sizeof buffer), 0);
  EXPECT_EQ(Send(MSG_CHECK_WORD, 16, OPT_REPORT_MISSPELLED, P("teh"), P(buffer), sizeof buffer),
            ERR_BAD_SESSION);

  // DelFromLex(session, lexicon, word).
  EXPECT_EQ(Send(MSG_DEL_FROM_LEX, session_, lex, P("teh")), 0);
  EXPECT_EQ(Send(MSG_DEL_FROM_LEX, session_, lex, P("teh")), ERR_NOT_FOUND);
  EXPECT_EQ(ORTH_GetLex(session_, lex, buffer, sizeof buffer), 1);

  // ClearLex(session, lexicon); CloseLex(session, lexicon).
  EXPECT_EQ(Send(MSG_CLEAR_LEX, session_, lex), 0);
  EXPECT_EQ(ORTH_GetLex(session_, lex, buffer, sizeof buffer), 0);
  EXPECT_EQ(Send(MSG_CLEAR_LEX, session_, lex + 1), ERR_BAD_LEX);
  EXPECT_EQ(Send(MSG_CLOSE_LEX, session_, lex), 0);
  EXPECT_EQ(Send(MSG_CLOSE_LEX, session_, lex), ERR_BAD_LEX);
}

TEST_F(DispatcherTest, OpenLexAndSuggestMessages) {
  const std::string dictionary = Dictionary({"the", "then", "they", "tea", "ten", "toe"});
  // OpenLex(session, file name, cache budget): a budget of 0 holds no section.
  EXPECT_EQ(Send(MSG_OPEN_LEX, session_, P(dictionary.c_str()), 0), ERR_NO_MEMORY);
  ASSERT_EQ(Send(MSG_OPEN_LEX, session_, P(dictionary.c_str()), -1), 0);
  int32_t format = -1;
  EXPECT_EQ(ORTH_GetLexInfo(session_, 0, nullptr, &format, nullptr, nullptr), 0);
  EXPECT_EQ(format, LEX_FORMAT_COMPRESSED);
  EXPECT_EQ(Send(MSG_CLEAR_LEX, session_, 0), ERR_LEX_READ_ONLY);

  // Suggest(session, word, level, buffer, size, scores, maximum count): the
  // same answer as the function itself, for several levels, sizes and counts.
  struct Row {
    const char* word;
    int32_t level;
    uint32_t size;
    int32_t maxCount;
  };
  const Row rows[] = {
      {"teh", SUGGEST_LEVEL_AUTO, 128, 8}, {"teh", 0, 128, 2}, {"thn", 3, 128, 8},
      {"teh", SUGGEST_LEVEL_AUTO, 5, 8},   {"teh", 1, 128, 1}, {"", 0, 128, 8},
  };
  for (const Row& row : rows) {
    char direct[129], sent[129];
    int32_t directScores[8], sentScores[8];
    std::memset(direct, '#', sizeof direct);
    std::memset(sent, '#', sizeof sent);
    std::fill(std::begin(directScores), std::end(directScores), -7);
    std::fill(std::begin(sentScores), std::end(sentScores), -7);
    const int32_t expected =
        ORTH_Suggest(session_, row.word, row.level, direct, row.size, directScores, row.maxCount);
    EXPECT_EQ(Send(MSG_SUGGEST, session_, P(row.word), row.level, P(sent), row.size, P(sentScores),
                   row.maxCount),
              expected)
        << row.word << " " << row.level;
    EXPECT_EQ(std::string(sent, sizeof sent), std::string(direct, sizeof direct)) << row.word;
    EXPECT_EQ(std::vector<int32_t>(sentScores, sentScores + 8),
              std::vector<int32_t>(directScores, directScores + 8))
        << row.word;
  }
  // The answer is a real one: the dictionary's words come back.
  char buffer[128];
  int32_t scores[4];
  ASSERT_EQ(Send(MSG_SUGGEST, session_, P("teh"), SUGGEST_LEVEL_AUTO, P(buffer), sizeof buffer,
                 P(scores), 4),
            0);
  const std::vector<std::string> words = Words(buffer);
  EXPECT_NE(std::find(words.begin(), words.end(), "the"), words.end());
  EXPECT_EQ(Send(MSG_SUGGEST, 16, P("teh"), 0, P(buffer), sizeof buffer, P(scores), 4),
            ERR_BAD_SESSION);
}

TEST_F(DispatcherTest, OtherNumbersDoNothing) {
  int32_t a = -5, b = -5, c = -5;
  char buffer[8];
  std::memset(buffer, '#', sizeof buffer);
  for (uint32_t message : {0u, 1u, 99u, 113u, 200u, 0x80000000u, 0xFFFFFFFFu}) {
    EXPECT_EQ(Send(message, P(&a), P(&b), P(&c), P(buffer), sizeof buffer, P(&a), 4), 0) << message;
    EXPECT_EQ(Send(message, session_, P(&b), P(&c), P(buffer), sizeof buffer, P(&a), 4), 0)
        << message;
  }
  EXPECT_EQ(a, -5);
  EXPECT_EQ(b, -5);
  EXPECT_EQ(c, -5);
  EXPECT_EQ(buffer[0], '#');
  // No session was opened or closed on the way.
  EXPECT_EQ(ORTH_CloseSession(session_), 0);
  EXPECT_EQ(ORTH_OpenSession(), session_);
}

}  // namespace
