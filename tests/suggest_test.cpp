// The suggestion search: text lexicons, compressed dictionaries at each
// level, split words, case restoration and the output rules of ORTH_Suggest.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "lex/section_format.h"
#include "lexcompiler/lex_compiler.h"
#include "orth.h"
#include "session/session_table.h"
#include "suggest/candidate_list.h"
#include "suggest/suggest_search.h"

namespace orth {
namespace {

namespace fs = std::filesystem;

using Entries = std::vector<std::pair<std::string, int32_t>>;

// «hée»: h, e acute, e.
constexpr const char* kHee = "h\xE9\x65";

// The answer of one ORTH_Suggest call.
struct Answer {
  int32_t result;
  Entries entries;
};

class SuggestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session_ = ORTH_OpenSession();
    ASSERT_GE(session_, 0);
    std::random_device seed;
    dir_ = fs::temp_directory_path() / ("orth_suggest_" + std::to_string(seed()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    ORTH_CloseSession(session_);
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  // A text lexicon held in memory only.
  int32_t TextLexicon(int32_t type,
                      const std::vector<std::pair<const char*, const char*>>& entries) {
    const int32_t lex = ORTH_CreateLex(session_, nullptr, type, 0);
    EXPECT_GE(lex, 0);
    for (const auto& [word, other] : entries)
      EXPECT_EQ(ORTH_AddToLex(session_, lex, word, other), 0);
    return lex;
  }
  int32_t AcceptLexicon(const std::vector<const char*>& words) {
    std::vector<std::pair<const char*, const char*>> entries;
    for (const char* word : words) entries.emplace_back(word, nullptr);
    return TextLexicon(LEX_TYPE_ACCEPT, entries);
  }

  // A compressed dictionary compiled from words and opened in the session.
  int32_t Dictionary(const std::vector<std::string>& words) {
    const std::string path = (dir_ / ("dict" + std::to_string(++dictionaries_) + ".olx")).string();
    CompileSummary summary;
    std::string error;
    EXPECT_TRUE(CompileWordEntries(words, path, CompileOptions{}, summary, error)) << error;
    const int32_t lex = ORTH_OpenLex(session_, path.c_str(), -1);
    EXPECT_GE(lex, 0);
    return lex;
  }

  Answer Suggest(const char* word, int32_t level = SUGGEST_LEVEL_AUTO, int32_t maxCount = 20) {
    char buffer[1024];
    std::memset(buffer, '#', sizeof buffer);
    std::vector<int32_t> scores(maxCount > 0 ? maxCount : 1, -1);
    Answer answer;
    answer.result =
        ORTH_Suggest(session_, word, level, buffer, sizeof buffer, scores.data(), maxCount);
    size_t at = 0;
    for (size_t i = 0; buffer[at] != '\0'; ++i) {
      answer.entries.emplace_back(buffer + at, scores[i]);
      at += std::strlen(buffer + at) + 1;
    }
    return answer;
  }
  Entries Words(const char* word, int32_t level = SUGGEST_LEVEL_AUTO) {
    const Answer answer = Suggest(word, level);
    EXPECT_EQ(answer.result, 0) << word;
    return answer.entries;
  }
  std::set<std::string> WordSet(const char* word, int32_t level) {
    std::set<std::string> out;
    for (const auto& entry : Words(word, level)) out.insert(entry.first);
    return out;
  }

  int32_t session_ = -1;
  fs::path dir_;
  int dictionaries_ = 0;
};

TEST_F(SuggestTest, AcceptLexiconIsScoredInStoredOrder) {
  const int32_t lex = AcceptLexicon({"the", "tea", "ten"});
  EXPECT_EQ(Words("teh"), (Entries{{"ten", 72}, {"tea", 66}, {"the", 55}}));
  // «tech» is stored before «ten», so it comes first among the 72s.
  ASSERT_EQ(ORTH_AddToLex(session_, lex, "tech", nullptr), 0);
  EXPECT_EQ(Words("teh"), (Entries{{"tech", 72}, {"ten", 72}, {"tea", 66}, {"the", 55}}));
}

TEST_F(SuggestTest, ChangeAndSuggestLexiconsGiveTheirOtherWord) {
  struct Row {
    const char* name;
    int32_t type;
    const char* word;
    Entries expected;
  };
  const Row rows[] = {
      {"change entry first", LEX_TYPE_CHANGE, "teh", {{"the", 99}, {"ten", 72}, {"tea", 66}}},
      {"suggest entry first", LEX_TYPE_SUGGEST, "teh", {{"the", 99}, {"ten", 72}, {"tea", 66}}},
      {"word not in the lexicon", LEX_TYPE_CHANGE, "tez", {{"ten", 72}, {"tea", 66}}},
      {"entry found caselessly", LEX_TYPE_CHANGE, "TEH", {{"THE", 99}, {"TEN", 72}, {"TEA", 66}}},
  };
  for (const Row& row : rows) {
    // The entry's own word is never offered, and only the entry for the word
    // itself counts: «tez» gets nothing from it.
    const int32_t change = TextLexicon(row.type, {{"teh", "the"}, {"tex", "text"}});
    const int32_t accept = AcceptLexicon({"tea", "ten"});
    EXPECT_EQ(Words(row.word), row.expected) << row.name;
    ORTH_CloseLex(session_, accept);
    ORTH_CloseLex(session_, change);
  }
}

TEST_F(SuggestTest, OtherWordsThatAreNotOffered) {
  // An empty other word would end the caller's list: nothing is offered.
  const int32_t empty = TextLexicon(LEX_TYPE_CHANGE, {{"teh", ""}});
  EXPECT_EQ(Words("teh"), Entries{});
  ORTH_CloseLex(session_, empty);
  // An earlier slot's «the» keeps its place and score; the 99 is a duplicate.
  AcceptLexicon({"the"});
  TextLexicon(LEX_TYPE_CHANGE, {{"teh", "the"}});
  EXPECT_EQ(Words("teh"), (Entries{{"the", 55}}));
}

TEST_F(SuggestTest, SuggestionsTakeTheCasePatternOfTheCallersWord) {
  TextLexicon(LEX_TYPE_CHANGE, {{"teh", "the"}});
  AcceptLexicon({"a", "lot"});
  struct Row {
    const char* word;
    Entries expected;
  };
  const Row rows[] = {
      {"Teh", {{"The", 99}, {"Lot", 16}}},       {"TEH", {{"THE", 99}, {"LOT", 16}}},
      {"teh", {{"the", 99}, {"lot", 16}}},       {"Teh's", {{"The's", 99}, {"Lot's", 16}}},
      {"l'teh", {{"l'the", 99}, {"l'lot", 16}}}, {"alot", {{"a lot", 79}, {"lot", 54}}},
      {"Alot", {{"A lot", 79}, {"Lot", 54}}},
  };
  for (const Row& row : rows) EXPECT_EQ(Words(row.word), row.expected) << row.word;
}

TEST_F(SuggestTest, SplitWordsNeedBothPartsKnown) {
  const int32_t lex = AcceptLexicon({"a", "lot"});
  EXPECT_EQ(Words("alot"), (Entries{{"a lot", 79}, {"lot", 54}}));
  // «alo» alone is not enough; with «t» too, the cut «alo»/«t» comes in.
  ASSERT_EQ(ORTH_AddToLex(session_, lex, "alo", nullptr), 0);
  EXPECT_EQ(WordSet("alot", SUGGEST_LEVEL_AUTO), (std::set<std::string>{"a lot", "alo", "lot"}));
  ASSERT_EQ(ORTH_AddToLex(session_, lex, "t", nullptr), 0);
  const Entries withT = Words("alot");
  ASSERT_FALSE(withT.empty());
  EXPECT_EQ(withT[0], (std::pair<std::string, int32_t>{"alo t", 87}));
  // A part found in a Change lexicon counts as found.
  ORTH_CloseLex(session_, lex);
  TextLexicon(LEX_TYPE_CHANGE, {{"a", "an"}, {"lot", "lots"}});
  EXPECT_EQ(Words("alot"), (Entries{{"a lot", 79}}));

  // A 30-character word whose last cut gives two known words: the joined
  // word has 31 characters and is kept cut to 30.
  const std::string first(29, 'q');
  AcceptLexicon({first.c_str(), "z"});
  const std::string word = first + "z";
  const Entries entries = Words(word.c_str());
  EXPECT_EQ(entries, (Entries{{first + " ", 98}, {first, 96}}));
}

TEST_F(SuggestTest, SplitPartsThatNormaliseToNothingAreNoWords) {
  AcceptLexicon({"ab", "c"});
  Session* session = FindSession(session_);
  ASSERT_NE(session, nullptr);
  // «ab'c» (from «ab'c'»): «'c» leaves nothing to look up, so the cut
  // «ab»/«'c» is not offered; «ab'» is looked up as «ab».
  CandidateList list = CreateCandidateList(10);
  SuggestSplitWords(*session, "ab'c", list);
  ASSERT_EQ(list.entries.size(), 1u);
  EXPECT_STREQ(list.entries[0].word, "ab' c");
}

TEST_F(SuggestTest, LevelsSelectSectionsByBaseLetters) {
  Dictionary({"the", "thy", "htex", "hta", "hee", "hes", kHee, "hat", "tea", "eth"});
  using Set = std::set<std::string>;
  EXPECT_EQ(WordSet("hte", 0), (Set{"the", "htex", "hee", kHee}));
  EXPECT_EQ(WordSet("hte", 1), (Set{"the", "thy", "htex", "hta", "hee", "hes", kHee}));
  EXPECT_EQ(WordSet("hte", 2), (Set{"the", "thy", "htex", "hta", "hee", "hes", kHee, "hat"}));
  EXPECT_EQ(WordSet("hte", 3),
            (Set{"the", "thy", "htex", "hta", "hee", "hes", kHee, "hat", "tea", "eth"}));
  // Positions ascend (he, ht, hé, th), words in stored order; equal scores
  // keep the order of their offers.
  EXPECT_EQ(Words("hte", 1), (Entries{{"htex", 94},
                                      {"hta", 72},
                                      {"the", 55},
                                      {"hee", 44},
                                      {"hes", 44},
                                      {kHee, 38},
                                      {"thy", 22}}));
}

TEST_F(SuggestTest, AutomaticLevelWidensOnlyWhileNothingIsFound) {
  // Level 1 (ab, ba, ac) holds only a word too long to score; level 2 finds
  // «axyz», so level 3 («qbcd») is not scanned.
  const int32_t first = Dictionary({"abcdefgh", "axyz", "qbcd"});
  EXPECT_EQ(Words("abcd"), (Entries{{"axyz", 37}}));
  EXPECT_EQ(Words("abcd", 1), Entries{});
  EXPECT_EQ(Words("abcd", 2), (Entries{{"axyz", 37}}));
  EXPECT_EQ(Words("abcd", 3), (Entries{{"qbcd", 75}, {"axyz", 37}}));
  ORTH_CloseLex(session_, first);

  // Nothing at levels 1 and 2: the whole dictionary is scanned.
  Dictionary({"qbcd"});
  EXPECT_EQ(Words("abcd"), (Entries{{"qbcd", 75}}));
  EXPECT_EQ(Words("abcd", 2), Entries{});
}

TEST_F(SuggestTest, OneCharacterWordIsScannedAtLevelTwo) {
  Dictionary({"xyz", "xen", "axe"});
  EXPECT_EQ(Words("x"), (Entries{{"xen", 66}, {"xyz", 66}}));
  EXPECT_EQ(Words("x", 0), Entries{});
  EXPECT_EQ(Words("x", 1), Entries{});
}

TEST_F(SuggestTest, OtherLevelsScanNoSections) {
  Dictionary({"an", "at", "atlas"});
  AcceptLexicon({"anas"});
  for (int32_t level : {7, -2, 4, INT32_MIN}) {
    const std::set<std::string> words = WordSet("atan", level);
    EXPECT_EQ(words, (std::set<std::string>{"at", "an", "anas", "at an"})) << level;
  }
  EXPECT_EQ(WordSet("atan", SUGGEST_LEVEL_AUTO).count("atlas"), 1u);
  // Short words come in table order: «an» before «at» at equal scores.
  EXPECT_EQ(Words("ax", 7), (Entries{{"an", 58}, {"at", 58}, {"anas", 41}}));
}

TEST_F(SuggestTest, UnreadableSectionsAreSkipped) {
  // One section «ab» and no short words: its data starts after the header and
  // the one directory entry. Cut it off while the lexicon is open.
  const int32_t lex = Dictionary({"abcd", "abce"});
  ASSERT_GE(lex, 0);
  const fs::path path = dir_ / "dict1.olx";
  const uintmax_t tables = COMPRESSED_HEADER_SIZE + DIRECTORY_ENTRY_SIZE;
  ASSERT_GT(fs::file_size(path), tables);
  fs::resize_file(path, tables);
  AcceptLexicon({"abcf"});
  for (int32_t level : {SUGGEST_LEVEL_AUTO, 0, 1, 2, 3}) {
    EXPECT_EQ(Words("abcx", level), (Entries{{"abcf", 79}})) << level;
  }
}

TEST_F(SuggestTest, OutputBufferRules) {
  TextLexicon(LEX_TYPE_CHANGE, {{"teh", "the"}});
  AcceptLexicon({"tea"});
  struct Row {
    uint32_t size;
    int32_t result;
    std::string written;  // the buffer's first size bytes afterwards
    std::vector<int32_t> scores;
  };
  const Row rows[] = {
      {9, 0, std::string("the\0tea\0\0", 9), {99, 66}},
      {12, 0, std::string("the\0tea\0\0\0\0\0", 12), {99, 66}},
      {8, ERR_BUFFER_TOO_SMALL, std::string("the\0\0\0\0\0", 8), {99, -1}},
      {4, ERR_BUFFER_TOO_SMALL, std::string("\0###", 4), {-1, -1}},
      {1, ERR_BUFFER_TOO_SMALL, std::string("\0", 1), {-1, -1}},
      {0, ERR_BUFFER_TOO_SMALL, "", {-1, -1}},
  };
  for (const Row& row : rows) {
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    int32_t scores[2] = {-1, -1};
    EXPECT_EQ(ORTH_Suggest(session_, "teh", -1, buffer, row.size, scores, 2), row.result)
        << row.size;
    EXPECT_EQ(std::string(buffer, row.size), row.written) << row.size;
    EXPECT_EQ(buffer[row.size], '#') << "wrote past the size " << row.size;
    EXPECT_EQ(std::vector<int32_t>(scores, scores + 2), row.scores) << row.size;
  }
}

TEST_F(SuggestTest, CountsWordsAndNullArguments) {
  AcceptLexicon({"tea", "ten", "the"});
  char buffer[64];
  int32_t scores[4] = {-1, -1, -1, -1};

  // maxCount bounds the list; 0 gives an empty list.
  EXPECT_EQ(Suggest("teh", -1, 1).entries, (Entries{{"ten", 72}}));
  const Answer none = Suggest("teh", -1, 0);
  EXPECT_EQ(none.result, 0);
  EXPECT_TRUE(none.entries.empty());

  // Negative maxCount: no memory for the list, the buffer holds the empty list.
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(ORTH_Suggest(session_, "teh", -1, buffer, sizeof buffer, scores, -1), ERR_NO_MEMORY);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[1], '#');

  // Nothing to look up: 0 and the empty list; scores untouched.
  for (const char* word : {"", "'s", "'", " teh", static_cast<const char*>(nullptr)}) {
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(ORTH_Suggest(session_, word, -1, buffer, sizeof buffer, scores, 4), 0);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(buffer[1], '#');
    EXPECT_EQ(scores[0], -1);
  }

  // A null scores pointer is skipped; a null buffer is never written.
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(ORTH_Suggest(session_, "teh", -1, buffer, sizeof buffer, nullptr, 4), 0);
  EXPECT_EQ(std::string(buffer, 12), std::string("ten\0tea\0the\0", 12));
  EXPECT_EQ(ORTH_Suggest(session_, "teh", -1, nullptr, 64, scores, 4), ERR_BUFFER_TOO_SMALL);
  EXPECT_EQ(ORTH_Suggest(session_, "zzzzzz", -1, nullptr, 64, nullptr, 4), 0);
}

TEST_F(SuggestTest, BadSessionWritesNothing) {
  char buffer[8];
  std::memset(buffer, '#', sizeof buffer);
  int32_t scores[1] = {-1};
  for (int32_t session : {-1, 16, 7}) {
    EXPECT_EQ(ORTH_Suggest(session, "teh", -1, buffer, sizeof buffer, scores, 1), ERR_BAD_SESSION);
  }
  EXPECT_EQ(buffer[0], '#');
  EXPECT_EQ(scores[0], -1);
}

}  // namespace
}  // namespace orth
