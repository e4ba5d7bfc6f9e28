// The word index of resident sections against the plain decode: every word
// of the English dictionary and near-misses of them, enumeration, suggestions
// at every level and the phonetic search must give exactly the same answers,
// and badly ordered sections must fall back to the plain decode.
#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "lex/compressed_lex.h"
#include "lex/compressed_lookup.h"
#include "lex/section_cache.h"
#include "lex/section_decoder.h"
#include "lex/section_word_index.h"
#include "lex_file_builder.h"
#include "phonetic/phonetic_search.h"
#include "suggest/candidate_list.h"
#include "suggest/suggest_search.h"
#include "text/char_table.h"

namespace orth {
namespace {

// The sanitizer build runs every STRIDE-th case only, to stay fast.
#if defined(__SANITIZE_ADDRESS__)
constexpr size_t STRIDE = 23;
#else
constexpr size_t STRIDE = 1;
#endif

std::vector<std::string>* collected = nullptr;
int32_t Collect(const char*, const char* word) {
  collected->push_back(word);
  return 1;
}

std::unique_ptr<CompressedLex> OpenEnglish(bool indexed) {
  std::unique_ptr<CompressedLex> lex;
  EXPECT_EQ(OpenCompressedLex(ORTH_DICT_DIR "/en_US.olx", -1, lex), 0);
  if (lex == nullptr) return lex;
  lex->indexSections = indexed;
  // A second use of a resident section builds its index.
  for (int32_t p = 0; p < SECTION_INDEX_SIZE; ++p) {
    if (lex->sections[p] == nullptr) continue;
    LoadSection(*lex, p);
    LoadSection(*lex, p);
  }
  return lex;
}

// The lookup as the straightforward algorithm does it.
bool PlainFind(CompressedLex& lex, const std::string& word) {
  if (word.size() < 3) return FindInCompressedLex(word.c_str(), lex) == 0;
  const int32_t p =
      SectionPosition(static_cast<unsigned char>(word[0]), static_cast<unsigned char>(word[1]));
  if (!IsSectionPosition(p) || lex.sections[p] == nullptr) return false;
  if (LoadSection(lex, p) != 0) return false;
  return DecodeSectionPlain(*lex.sections[p], word.c_str(), true, nullptr, lex.tokens) == 1;
}

// Every word of the dictionary, in section order, through the plain decode.
std::vector<std::string> AllWords(CompressedLex& lex) {
  std::vector<std::string> words;
  collected = &words;
  for (int32_t p = 0; p < SECTION_INDEX_SIZE; ++p) {
    if (lex.sections[p] == nullptr || LoadSection(lex, p) != 0) continue;
    DecodeSectionPlain(*lex.sections[p], "", false, Collect, lex.tokens);
  }
  collected = nullptr;
  return words;
}

// Misspellings a writer makes of a word: one letter dropped, doubled or
// changed, a pair swapped, a capital, a longer or a cut word.
std::vector<std::string> NearMisses(const std::string& w) {
  std::vector<std::string> out;
  for (size_t i = 0; i < w.size(); ++i) {
    out.push_back(w.substr(0, i) + w.substr(i + 1));
    out.push_back(w.substr(0, i) + w[i] + w.substr(i));
    if (i + 1 < w.size()) out.push_back(w.substr(0, i) + w[i + 1] + w[i] + w.substr(i + 2));
    std::string changed = w;
    changed[i] = changed[i] == 'e' ? 'a' : 'e';
    out.push_back(changed);
  }
  std::string capital = w;
  capital[2] = static_cast<char>(ToUpperChar(static_cast<unsigned char>(capital[2])));
  out.push_back(capital);
  out.push_back(w + "s");
  out.push_back(w + "\xE9");
  return out;
}

class EnglishWordIndex : public ::testing::Test {
 protected:
  void SetUp() override {
    fast = OpenEnglish(true);
    plain = OpenEnglish(false);
    ASSERT_NE(fast, nullptr);
    ASSERT_NE(plain, nullptr);
  }
  std::unique_ptr<CompressedLex> fast;
  std::unique_ptr<CompressedLex> plain;
};

TEST_F(EnglishWordIndex, EverySectionIsIndexedAndWellOrdered) {
  uint64_t bytes = 0;
  for (int32_t p = 0; p < SECTION_INDEX_SIZE; ++p) {
    const LexSection* section = fast->sections[p].get();
    if (section == nullptr || section->size == 0) continue;
    ASSERT_NE(section->wordIndex, nullptr) << p;
    EXPECT_TRUE(section->wordIndex->complete) << p;
    EXPECT_TRUE(section->wordIndex->ordered) << p;
    bytes += section->wordIndex->Bytes();
    EXPECT_EQ(plain->sections[p]->wordIndex, nullptr);
  }
  EXPECT_EQ(fast->wordIndexBytes, bytes);
}

TEST_F(EnglishWordIndex, LookupsAgreeForEveryWordAndNearMisses) {
  const std::vector<std::string> words = AllWords(*plain);
  ASSERT_GT(words.size(), 70000u);
  size_t compared = 0;
  for (size_t i = 0; i < words.size(); i += STRIDE) {
    const std::string& w = words[i];
    ASSERT_EQ(FindInCompressedLex(w.c_str(), *fast), 0) << w;
    ASSERT_TRUE(PlainFind(*plain, w)) << w;
    const std::vector<std::string> misses = NearMisses(w);
    // About four near-misses of each word, a different choice for each word.
    for (size_t j = i % 8; j < misses.size(); j += 8) {
      const std::string& miss = misses[j];
      ASSERT_EQ(FindInCompressedLex(miss.c_str(), *fast) == 0, PlainFind(*plain, miss)) << miss;
      ++compared;
    }
  }
  EXPECT_GT(compared, 250000u / STRIDE);
}

TEST_F(EnglishWordIndex, EnumerationGivesTheSameWordsInOrder) {
  for (int32_t p = 0; p < SECTION_INDEX_SIZE; p += static_cast<int32_t>(STRIDE)) {
    if (fast->sections[p] == nullptr || LoadSection(*fast, p) != 0) continue;
    std::vector<std::string> indexed, decoded;
    collected = &indexed;
    EXPECT_EQ(DecodeSection(*fast->sections[p], "x", false, Collect, fast->tokens), 0);
    collected = &decoded;
    DecodeSectionPlain(*fast->sections[p], "x", false, Collect, fast->tokens);
    collected = nullptr;
    ASSERT_EQ(indexed, decoded) << p;
  }
}

TEST_F(EnglishWordIndex, SuggestionsAndPhoneticMatchesAgreeAtEveryLevel) {
  const char* const misspellings[] = {"teh",       "recieve", "seperate", "acomodate", "wich",
                                      "goverment", "x",       "qz",       "zzzzzzzz",  "ocasion",
                                      "Beleive",   "thier",   "caf\xE9",  "writting",  "nite"};
  const size_t sample = STRIDE > 1 ? 4 : std::size(misspellings);
  for (size_t n = 0; n < sample; ++n) {
    const char* word = misspellings[n];
    for (int32_t level : {SUGGEST_LEVEL_AUTO, 0, 1, 2, 3}) {
      CandidateList a = CreateCandidateList(10);
      CandidateList b = CreateCandidateList(10);
      SuggestFromCompressedLex(*fast, level, word, a);
      SuggestFromCompressedLex(*plain, level, word, b);
      ASSERT_EQ(a.entries.size(), b.entries.size()) << word << " " << level;
      for (size_t i = 0; i < a.entries.size(); ++i) {
        EXPECT_STREQ(a.entries[i].word, b.entries[i].word) << word << " " << level;
        EXPECT_EQ(a.entries[i].score, b.entries[i].score) << word << " " << level;
      }
    }
    char bufferA[4096], bufferB[4096];
    PhonList a{bufferA, sizeof bufferA};
    PhonList b{bufferB, sizeof bufferB};
    PhonFromCompressedLex(PhonVisitWord, word, a, *fast);
    PhonFromCompressedLex(PhonVisitWord, word, b, *plain);
    ASSERT_EQ(a.used, b.used) << word;
    EXPECT_EQ(a.overflow, b.overflow) << word;
    EXPECT_EQ(std::memcmp(bufferA, bufferB, a.used), 0) << word;
  }
}

// Hand-made sections whose order the exact search cannot rely on: the index
// must see that and leave exact lookups to the plain decode.
TEST(SectionWordIndex, BadlyOrderedSectionsKeepThePlainAnswers) {
  using test::RecordBytes;
  // Letters as codes: a=1 ... z=26.
  auto codes = [](const std::string& tail) {
    std::vector<uint8_t> out;
    for (char c : tail) out.push_back(static_cast<uint8_t>(c - 'a' + 1));
    out.push_back(CODE_END);
    return out;
  };
  auto cat = [](std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  struct Row {
    const char* name;
    test::Bytes data;
    std::vector<std::string> targets;
  };
  const Row rows[] = {
      // abcz before abcd in one record: the plain search stops at abcz.
      {"words out of order",
       RecordBytes('c', cat(codes("z"), codes("d"))),
       {"abcz", "abcd", "abce"}},
      // the record of d before the record of c.
      {"records out of order",
       test::Concat({RecordBytes('d', codes("x")), RecordBytes('c', codes("x"))}),
       {"abdx", "abcx"}},
      // the same word twice.
      {"a repeated word", RecordBytes('c', cat(codes("x"), codes("x"))), {"abcx", "abcy"}},
      // a token with a capital: equal letter codes on different bytes.
      {"a capital from a token",
       RecordBytes('c',
                   cat(cat({CODE_TOKEN, 0, CODE_END}, {CODE_TOKEN, 1, CODE_END}), codes("aq"))),
       {"abcaq", "abcA", "abcab"}},
      // a malformed record after a good one.
      {"malformed data",
       test::Concat({RecordBytes('c', codes("x")), test::Bytes{8, 0, 'd', 0}}),
       {"abcx", "abdx"}},
  };
  for (const Row& row : rows) {
    test::LexFileParts parts;
    parts.tokens = {"A", "a"};
    parts.sections.push_back(test::MakeSectionPart('a', 'b', row.data));
    test::TempDir dir;
    const std::string path = dir.Write("bad.olx", test::AssembleLexFile(parts));
    std::unique_ptr<CompressedLex> lex;
    ASSERT_EQ(OpenCompressedLex(path.c_str(), -1, lex), 0) << row.name;
    const int32_t p = SectionPosition('a', 'b');
    ASSERT_EQ(LoadSection(*lex, p), 0);
    ASSERT_EQ(LoadSection(*lex, p), 0);
    const LexSection& section = *lex->sections[p];
    ASSERT_NE(section.wordIndex, nullptr) << row.name;
    EXPECT_FALSE(section.wordIndex->ordered) << row.name;
    for (const std::string& target : row.targets) {
      EXPECT_EQ(DecodeSection(section, target.c_str(), true, nullptr, lex->tokens),
                DecodeSectionPlain(section, target.c_str(), true, nullptr, lex->tokens))
          << row.name << ": " << target;
    }
    std::vector<std::string> indexed, decoded;
    collected = &indexed;
    const int32_t r1 = DecodeSection(section, "", false, Collect, lex->tokens);
    collected = &decoded;
    const int32_t r2 = DecodeSectionPlain(section, "", false, Collect, lex->tokens);
    collected = nullptr;
    EXPECT_EQ(r1, r2) << row.name;
    EXPECT_EQ(indexed, decoded) << row.name;
  }
}

}  // namespace
}  // namespace orth
