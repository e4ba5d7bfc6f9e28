// ORTH_SuggestRanked: the classic misspelling families of the fixture file,
// the conventions it shares with ORTH_Suggest (buffer, scores, case, user
// lists) and that it leaves ORTH_Suggest's answers untouched.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "lex_file_builder.h"
#include "lexcompiler/lex_compiler.h"
#include "lexcompiler/text_encoding.h"
#include "orth.h"

namespace orth {
namespace {

namespace fs = std::filesystem;

using Entries = std::vector<std::pair<std::string, int32_t>>;

struct Answer {
  int32_t result = 0;
  Entries entries;
  std::vector<char> buffer;
};

Answer Ranked(int32_t session, const char* word, int32_t maxCount = 10,
              uint32_t bufferSize = 1024) {
  Answer answer;
  answer.buffer.assign(bufferSize + 1, '#');
  std::vector<int32_t> scores(maxCount > 0 ? maxCount : 1, -1);
  answer.result =
      ORTH_SuggestRanked(session, word, answer.buffer.data(), bufferSize, scores.data(), maxCount);
  for (size_t at = 0, i = 0; at < bufferSize && answer.buffer[at] != '\0'; ++i) {
    answer.entries.emplace_back(answer.buffer.data() + at, scores[i]);
    at += std::strlen(answer.buffer.data() + at) + 1;
  }
  return answer;
}

Answer Classic(int32_t session, const char* word) {
  Answer answer;
  answer.buffer.assign(1024, '#');
  std::vector<int32_t> scores(10, -1);
  answer.result = ORTH_Suggest(session, word, SUGGEST_LEVEL_AUTO, answer.buffer.data(), 1024,
                               scores.data(), 10);
  for (size_t at = 0, i = 0; answer.buffer[at] != '\0'; ++i) {
    answer.entries.emplace_back(answer.buffer.data() + at, scores[i]);
    at += std::strlen(answer.buffer.data() + at) + 1;
  }
  return answer;
}

class RankedSuggestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session_ = ORTH_OpenSession();
    ASSERT_GE(session_, 0);
  }
  void TearDown() override { ORTH_CloseSession(session_); }

  int32_t OpenEnglish() {
    const int32_t lex = ORTH_OpenLex(session_, ORTH_DICT_DIR "/en_US.olx", -1);
    EXPECT_GE(lex, 0);
    return lex;
  }

  int32_t session_ = -1;
};

// One line of the fixture: the misspelling and the suggestions that must
// open its answer, Latin-1.
struct Expectation {
  std::string wrong;
  std::vector<std::string> first;
};

std::vector<Expectation> ReadFixture(const std::string& path) {
  std::ifstream in(path);
  EXPECT_TRUE(in) << path;
  std::vector<Expectation> out;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::string latin1;
    EXPECT_EQ(Utf8ToLatin1(line, latin1), Utf8Status::Ok) << line;
    const size_t colon = latin1.find(": ");
    if (colon == std::string::npos) {
      ADD_FAILURE() << "malformed fixture line: " << line;
      continue;
    }
    Expectation expectation{latin1.substr(0, colon), {}};
    std::string rest = latin1.substr(colon + 2);
    for (size_t at = 0; at <= rest.size();) {
      const size_t comma = std::min(rest.find(", ", at), rest.size());
      expectation.first.push_back(rest.substr(at, comma - at));
      at = comma + 2;
    }
    out.push_back(std::move(expectation));
  }
  return out;
}

TEST_F(RankedSuggestTest, ClassicMisspellingFamiliesOfTheFixture) {
  const char* data = std::getenv("ORTH_TEST_DATA");
  ASSERT_NE(data, nullptr);
  OpenEnglish();
  const std::vector<Expectation> fixture =
      ReadFixture((fs::path(data) / "ranked" / "en_US.sug").string());
  ASSERT_GT(fixture.size(), 40u);
  for (const Expectation& expected : fixture) {
    const Answer answer = Ranked(session_, expected.wrong.c_str());
    ASSERT_EQ(answer.result, 0) << expected.wrong;
    std::vector<std::string> first;
    for (size_t i = 0; i < expected.first.size() && i < answer.entries.size(); ++i) {
      first.push_back(answer.entries[i].first);
    }
    EXPECT_EQ(first, expected.first) << expected.wrong;
  }
}

TEST_F(RankedSuggestTest, ScoresFallWithTheCostAndTheWordItselfComesFirst) {
  OpenEnglish();
  const Answer answer = Ranked(session_, "naive");
  ASSERT_FALSE(answer.entries.empty());
  EXPECT_EQ(answer.entries[0], (std::pair<std::string, int32_t>{"naive", 100}));
  for (size_t i = 1; i < answer.entries.size(); ++i) {
    EXPECT_LE(answer.entries[i].second, answer.entries[i - 1].second);
    EXPECT_GE(answer.entries[i].second, 1);
    EXPECT_LE(answer.entries[i].second, 98);
  }
}

TEST_F(RankedSuggestTest, UserListsAddTheirWordsAndReplacements) {
  OpenEnglish();
  const int32_t user = ORTH_CreateLex(session_, nullptr, LEX_TYPE_ACCEPT, 0);
  ASSERT_EQ(ORTH_AddToLex(session_, user, "Zorblatt", nullptr), 0);
  const int32_t change = ORTH_CreateLex(session_, nullptr, LEX_TYPE_CHANGE, 0);
  ASSERT_EQ(ORTH_AddToLex(session_, change, "recieve", "obtain"), 0);

  EXPECT_EQ(Ranked(session_, "zorblat").entries.at(0).first, "zorblatt");  // stored lower-case
  const Entries replaced = Ranked(session_, "recieve").entries;
  ASSERT_GE(replaced.size(), 2u);
  EXPECT_EQ(replaced[0], (std::pair<std::string, int32_t>{"obtain", 99}));
  EXPECT_EQ(replaced[1].first, "receive");
}

TEST_F(RankedSuggestTest, SplitWordsNeedTwoCommonParts) {
  // With the commonness file both parts must be among the most common words.
  OpenEnglish();
  EXPECT_EQ(Ranked(session_, "everytime").entries.at(0).first, "every time");

  // Without one, both parts need three letters or more: «a lot» is not
  // offered, «every time» is.
  test::TempDir dir;
  const std::string path = dir.PathOf("plain.olx");
  CompileSummary summary;
  std::string error;
  ASSERT_TRUE(CompileWordEntries({"a", "lot", "every", "time", "slot"}, path, CompileOptions{},
                                 summary, error))
      << error;
  const int32_t other = ORTH_OpenSession();
  ASSERT_GE(ORTH_OpenLex(other, path.c_str(), -1), 0);
  const Entries alot = Ranked(other, "alot").entries;
  for (const auto& [word, score] : alot) EXPECT_NE(word, "a lot");
  EXPECT_EQ(Ranked(other, "everytime").entries.at(0).first, "every time");
  ORTH_CloseSession(other);
}

// A check-only lexicon: its words pass the checks, but neither suggester nor
// the phonetic search offers them, whole or as parts of a split word; only
// the typed word itself still comes first. Clearing the bit restores them.
TEST_F(RankedSuggestTest, CheckOnlyLexiconsAcceptButNeverSuggest) {
  test::TempDir dir;
  const std::string common = dir.PathOf("common.olx");
  const std::string rare = dir.PathOf("rare.olx");
  CompileSummary summary;
  std::string error;
  ASSERT_TRUE(CompileWordEntries({"incur", "every", "time", "cheeked"}, common, CompileOptions{},
                                 summary, error))
      << error;
  ASSERT_TRUE(CompileWordEntries({"insure", "incure", "checked", "everytime", "times"}, rare,
                                 CompileOptions{}, summary, error))
      << error;
  ASSERT_EQ(ORTH_OpenLex(session_, common.c_str(), -1), 0);
  ASSERT_EQ(ORTH_OpenLex(session_, rare.c_str(), -1), 1);
  const int32_t text = ORTH_CreateLex(session_, nullptr, LEX_TYPE_ACCEPT, 0);
  ASSERT_EQ(ORTH_AddToLex(session_, text, "checker", nullptr), 0);
  EXPECT_EQ(ORTH_SetLexOptions(session_, 1, LEXOPT_CHECK_ONLY | 0x8u), ERR_BAD_FORMAT);
  ASSERT_EQ(ORTH_SetLexOptions(session_, 1, LEXOPT_CHECK_ONLY), 0);
  ASSERT_EQ(ORTH_SetLexOptions(session_, text, LEXOPT_CHECK_ONLY), 0);

  auto words = [](const Answer& answer) {
    std::vector<std::string> list;
    for (const auto& entry : answer.entries) list.push_back(entry.first);
    return list;
  };
  auto holds = [](const std::vector<std::string>& list, const char* word) {
    return std::find(list.begin(), list.end(), word) != list.end();
  };
  char buffer[64];
  for (const char* word : {"insure", "checked", "checker", "incure"}) {
    EXPECT_EQ(ORTH_CheckWord(session_, OPT_REPORT_MISSPELLED, word, buffer, sizeof buffer), 0)
        << word;
  }
  struct Case {
    const char* typed;
    const char* first;       // the answer's first word, both suggesters (null: any or none)
    const char* neverShown;  // a word only a check-only lexicon holds, or a split on one
  };
  for (const Case& c :
       {Case{"insur", "incur", "insure"}, Case{"chekked", "cheeked", "checked"},
        Case{"checkr", "cheeked", "checker"}, Case{"everytimes", nullptr, "every times"},
        Case{"incure", "incure", "insure"}}) {
    for (const auto& list : {words(Ranked(session_, c.typed)), words(Classic(session_, c.typed))}) {
      if (c.first != nullptr) {
        ASSERT_FALSE(list.empty()) << c.typed;
        EXPECT_EQ(list[0], c.first) << c.typed;
      }
      EXPECT_FALSE(holds(list, c.neverShown)) << c.typed;
    }
  }
  std::vector<char> sounds(256);
  ASSERT_GE(ORTH_PhonSearch(session_, "insur", sounds.data(), 256), 0);
  EXPECT_NE(std::string(sounds.data()), "insure");

  ASSERT_EQ(ORTH_SetLexOptions(session_, 1, 0), 0);
  EXPECT_TRUE(holds(words(Ranked(session_, "chekked")), "checked"));
  EXPECT_TRUE(holds(words(Classic(session_, "chekked")), "checked"));
  EXPECT_TRUE(holds(words(Ranked(session_, "everytimes")), "every times"));
}

TEST_F(RankedSuggestTest, BufferScoreAndCountRulesMatchTheClassicSearch) {
  OpenEnglish();
  // Fits: the words, their NULs and the final empty string.
  const Entries all = Ranked(session_, "recieve", 3).entries;
  ASSERT_EQ(all.size(), 3u);
  size_t needed = 1;
  for (const auto& entry : all) needed += entry.first.size() + 1;
  const Answer exact = Ranked(session_, "recieve", 3, static_cast<uint32_t>(needed));
  EXPECT_EQ(exact.result, 0);
  EXPECT_EQ(exact.entries, all);
  const Answer short1 = Ranked(session_, "recieve", 3, static_cast<uint32_t>(needed - 1));
  EXPECT_EQ(short1.result, ERR_BUFFER_TOO_SMALL);
  EXPECT_EQ(short1.entries, Entries(all.begin(), all.begin() + 2));
  EXPECT_EQ(short1.buffer[needed - 2], '\0');  // cleared to the end
  EXPECT_EQ(short1.buffer[needed - 1], '#');   // never past bufferSize

  EXPECT_EQ(Ranked(session_, "recieve", 0).entries, Entries{});
  EXPECT_EQ(Ranked(session_, "recieve", 0).result, 0);
  EXPECT_EQ(Ranked(session_, "recieve", -1).result, ERR_NO_MEMORY);
  EXPECT_EQ(Ranked(session_, "").result, 0);
  EXPECT_EQ(Ranked(session_, "''").entries, Entries{});

  char buffer[64];
  EXPECT_EQ(ORTH_SuggestRanked(session_, nullptr, buffer, sizeof buffer, nullptr, 5), 0);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(ORTH_SuggestRanked(session_, "recieve", nullptr, 100, nullptr, 5),
            ERR_BUFFER_TOO_SMALL);
  EXPECT_EQ(ORTH_SuggestRanked(session_, "recieve", buffer, sizeof buffer, nullptr, 5), 0);
  EXPECT_STREQ(buffer, "receive");
  EXPECT_EQ(ORTH_SuggestRanked(-1, "recieve", buffer, sizeof buffer, nullptr, 5), ERR_BAD_SESSION);
  EXPECT_EQ(ORTH_SuggestRanked(session_ + 1, "recieve", buffer, sizeof buffer, nullptr, 5),
            ERR_BAD_SESSION);
}

TEST_F(RankedSuggestTest, FewerSuggestionsAreTheFirstOfMore) {
  // The search stops looking far once it knows enough close words; that
  // must never change which words come first.
  OpenEnglish();
  for (const char* word : {"teh", "wich", "recieve", "agian", "abberration", "fo", "qzx",
                           "seperately", "Thier", "o'clok"}) {
    const Entries many = Ranked(session_, word, 60, 4096).entries;
    for (const int32_t count : {1, 5, 10}) {
      const Entries few = Ranked(session_, word, count).entries;
      const size_t n = std::min<size_t>(count, many.size());
      EXPECT_EQ(few, Entries(many.begin(), many.begin() + n)) << word << " " << count;
    }
  }
}

TEST_F(RankedSuggestTest, TheClassicSearchAnswersAsBefore) {
  const int32_t lex = OpenEnglish();
  const char* words[] = {"teh", "recieve", "agian", "wich", "Untill"};
  std::vector<Answer> before;
  for (const char* word : words) before.push_back(Classic(session_, word));
  for (const char* word : words) Ranked(session_, word);
  for (size_t i = 0; i < std::size(words); ++i) {
    const Answer after = Classic(session_, words[i]);
    EXPECT_EQ(after.result, before[i].result) << words[i];
    EXPECT_EQ(after.entries, before[i].entries) << words[i];
  }
  EXPECT_EQ(ORTH_CloseLex(session_, lex), 0);
}

TEST_F(RankedSuggestTest, ADictionaryThatCannotBeReadWholeStillSuggests) {
  // A lexicon cut short in its section data: the index cannot be built, so
  // the classic search's candidates are ranked instead, without failing.
  test::TempDir dir;
  const std::string path = dir.PathOf("cut.olx");
  CompileSummary summary;
  std::string error;
  std::vector<std::string> words = {"receive", "relieve", "deceive", "recede", "the"};
  for (int i = 0; i < 300; ++i) {
    words.push_back("re" + std::string(1, static_cast<char>('a' + i % 26)) + "x" +
                    std::to_string(i));
  }
  ASSERT_TRUE(CompileWordEntries(words, path, CompileOptions{}, summary, error)) << error;
  fs::resize_file(path, fs::file_size(path) - 16);
  ASSERT_GE(ORTH_OpenLex(session_, path.c_str(), -1), 0);
  const Answer classic = Classic(session_, "recieve");
  const Answer answer = Ranked(session_, "recieve");
  EXPECT_EQ(answer.result, 0);
  for (const auto& [word, score] : answer.entries) {
    bool offered = false;
    for (const auto& entry : classic.entries) offered = offered || entry.first == word;
    EXPECT_TRUE(offered) << word;
  }
  EXPECT_EQ(answer.entries.empty(), classic.entries.empty());
}

}  // namespace
}  // namespace orth
