// Case forms: what a word list says about capitalisation, kept beside the
// compiled lexicon, and how the word check and the ranked suggestions use it.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "lex/case_forms.h"
#include "lex_file_builder.h"
#include "lexcompiler/lex_compiler.h"
#include "orth.h"

namespace orth {
namespace {

// Every way a list writes a word (Latin-1 entries).
const std::vector<std::string> LIST = {
    "dog",    "Debian",     "DEBIAN",  "NASA",       "PostScript", "iPhone",    "IPhone",
    "Polish", "polish",     "Tolkien", "PostgreSQL", "Postgresql", "O'Neill's", "us",
    "US",     "television", "Asian",   "again",      "\xC9mile",   "the",       "way"};

struct CompiledList {
  test::TempDir dir;
  std::string path = dir.PathOf("cased.olx");
  CompiledList() {
    CompileSummary summary;
    std::string error;
    EXPECT_TRUE(CompileWordEntries(LIST, path, CompileOptions{}, summary, error)) << error;
    EXPECT_EQ(summary.caseForms, 8u);
  }
};

struct CaseSession {
  int32_t id = ORTH_OpenSession();
  ~CaseSession() { ORTH_CloseSession(id); }
  int32_t Check(const char* word, uint32_t options, std::string& other) const {
    char buffer[WORD_MAX + 3] = {};
    const int32_t result = ORTH_CheckWord(id, options, word, buffer, sizeof buffer);
    other = buffer;
    return result;
  }
  std::string FirstRanked(const char* word, int32_t* score = nullptr) const {
    char buffer[512] = {};
    int32_t scores[10] = {};
    if (ORTH_SuggestRanked(id, word, buffer, sizeof buffer, scores, 10) != 0) return "?";
    if (score != nullptr) *score = scores[0];
    return buffer;
  }
};

TEST(CaseForms, TheCompilerKeepsTheOneFormEachWordIsWrittenIn) {
  CompiledList list;
  std::unique_ptr<CompressedLex> lex;
  ASSERT_EQ(OpenCompressedLex(list.path.c_str(), -1, lex), 0);
  LexFingerprint fingerprint;
  ASSERT_TRUE(FingerprintLexFile(*lex, fingerprint));
  CloseCompressedLex(std::move(lex));
  CaseForms forms;
  ASSERT_EQ(ReadCaseFormsFile(CaseFormsFileName(list.path), fingerprint, forms), 0);

  // Lower case seen: no rule. Several forms: the one the others fit.
  // PostgreSQL and Postgresql fit neither each other: no rule.
  const struct {
    const char* key;
    const char* form;
  } expected[] = {
      {"dog", nullptr},       {"debian", "Debian"},
      {"nasa", "NASA"},       {"postscript", "PostScript"},
      {"iphone", "iPhone"},   {"polish", nullptr},
      {"tolkien", "Tolkien"}, {"postgresql", nullptr},
      {"neill", "Neill"},     {"us", nullptr},
      {"asian", "Asian"},     {"\xE9mile", "\xC9mile"},
  };
  for (const auto& row : expected) {
    const char* form = FindCaseForm(forms, row.key, std::strlen(row.key));
    EXPECT_STREQ(form, row.form) << row.key;
  }
  EXPECT_EQ(forms.count, 8u);

  // A file that does not fit the lexicon, or is damaged, is refused whole.
  const std::string olf = CaseFormsFileName(list.path);
  std::ifstream in(olf, std::ios::binary);
  const std::string good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string damaged[] = {
      good.substr(0, good.size() - 1),                            // truncated
      good + "X",                                                 // bytes after the forms
      std::string(good).replace(CASE_FORMS_HEADER_SIZE, 1, "a"),  // «asian»: no capital
      std::string(good).replace(0, 4, "XXXX"),                    // magic
  };
  for (const std::string& bytes : damaged) {
    std::ofstream(olf, std::ios::binary | std::ios::trunc) << bytes;
    CaseForms refused;
    EXPECT_EQ(ReadCaseFormsFile(olf, fingerprint, refused), ERR_BAD_FORMAT);
    EXPECT_EQ(refused.count, 0u);
  }
  std::ofstream(olf, std::ios::binary | std::ios::trunc) << good;
  LexFingerprint other = fingerprint;
  other.hash ^= 1;
  EXPECT_EQ(ReadCaseFormsFile(olf, other, forms), ERR_BAD_FORMAT);
}

TEST(CaseForms, TheWordCheckReportsAWrongCaseOnlyWhenAsked) {
  CompiledList list;
  CaseSession session;
  ASSERT_GE(ORTH_OpenLex(session.id, list.path.c_str(), -1), 0);
  const uint32_t plain = OPT_REPORT_MISSPELLED;
  const uint32_t cased = OPT_REPORT_MISSPELLED | OPT_REPORT_WRONG_CASE;
  const struct {
    const char* word;
    int32_t withRule;
    const char* other;  // the buffer under the rule
  } rows[] = {
      {"Debian", 0, "Debian"},
      {"DEBIAN", 0, "DEBIAN"},
      {"debian", RES_WRONG_CASE, "Debian"},
      {"debian's", RES_WRONG_CASE, "Debian's"},
      {"dEBIAN", RES_WRONG_CASE, "Debian"},
      {"nasa", RES_WRONG_CASE, "NASA"},
      {"Nasa", RES_WRONG_CASE, "NASA"},
      {"iPhone", 0, "iPhone"},
      {"IPhone", 0, "IPhone"},
      {"iphone", RES_WRONG_CASE, "iPhone"},
      {"Postscript", RES_WRONG_CASE, "PostScript"},
      {"polish", 0, "polish"},
      {"Polish", 0, "Polish"},
      {"postgresql", 0, "postgresql"},
      {"dog", 0, "dog"},
      {"DOG", 0, "DOG"},
      {"o'neill", RES_WRONG_CASE, "o'Neill"},
      {"\xE9mile", RES_WRONG_CASE, "\xC9mile"},
      {"debain", RES_MISSPELLED, "debain"},
  };
  for (const auto& row : rows) {
    std::string other;
    EXPECT_EQ(session.Check(row.word, cased, other), row.withRule) << row.word;
    EXPECT_EQ(other, row.other) << row.word;
    // Without the bit every answer is what it always was.
    EXPECT_EQ(session.Check(row.word, plain, other), row.withRule & RES_MISSPELLED) << row.word;
    EXPECT_EQ(other, row.word) << row.word;
  }

  // A personal list that holds the word lets it be written in any case.
  const int32_t personal = ORTH_CreateLex(session.id, nullptr, LEX_TYPE_ACCEPT, 0);
  ASSERT_GE(personal, 0);
  ASSERT_EQ(ORTH_AddToLex(session.id, personal, "debian", nullptr), 0);
  std::string other;
  EXPECT_EQ(session.Check("debian", cased, other), 0);
  EXPECT_EQ(session.Check("nasa", cased, other), RES_WRONG_CASE);
  ASSERT_EQ(ORTH_CloseLex(session.id, personal), 0);

  // The block walk reports it with the form as the other word.
  char text[] = "the debian way";
  const int32_t block = ORTH_OpenBlock(session.id, text, sizeof text - 1, sizeof text, 1);
  ASSERT_GE(block, 0);
  char word[WORD_MAX + 1] = {};
  char form[WORD_MAX + 1] = {};
  const int32_t found = ORTH_CheckBlock(session.id, block, cased | OPT_REPORT_DOUBLED_WORD, word,
                                        sizeof word, form, sizeof form);
  EXPECT_TRUE((found & RES_WRONG_CASE) != 0) << found << " " << word;
  EXPECT_STREQ(form, "Debian");
}

TEST(CaseForms, RankedSuggestionsComeOutInTheDictionaryCase) {
  CompiledList list;
  CaseSession session;
  ASSERT_GE(ORTH_OpenLex(session.id, list.path.c_str(), -1), 0);
  int32_t score = 0;
  const struct {
    const char* typed;
    const char* first;
  } rows[] = {
      {"debain", "Debian"}, {"Debain", "Debian"}, {"DEBAIN", "DEBIAN"}, {"nasaa", "NASA"},
      {"iphnoe", "iPhone"}, {"agian", "again"},   {"asain", "Asian"},   {"televison", "television"},
  };
  for (const auto& row : rows) EXPECT_EQ(session.FirstRanked(row.typed), row.first) << row.typed;
  // The word itself, known, comes first in its case.
  EXPECT_EQ(session.FirstRanked("debian", &score), "Debian");
  EXPECT_EQ(score, 100);
  // The classic search keeps the typed word's case pattern.
  char buffer[256] = {};
  ASSERT_EQ(
      ORTH_Suggest(session.id, "debain", SUGGEST_LEVEL_AUTO, buffer, sizeof buffer, nullptr, 5), 0);
  EXPECT_STREQ(buffer, "debian");
}

}  // namespace
}  // namespace orth
