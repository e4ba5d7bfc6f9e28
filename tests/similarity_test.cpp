// The similarity score and the ranked candidate list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "suggest/candidate_list.h"
#include "suggest/similarity.h"
#include "text/char_table.h"

namespace orth {
namespace {

TEST(ScoreSimilarity, ScoresOfKnownPairs) {
  struct Row {
    const char* misspelled;
    const char* candidate;
    int32_t score;
  };
  const Row rows[] = {
      {"teh", "the", 55},
      {"recieve", "receive", 80},
      {"thier", "their", 73},
      {"ocasion", "occasion", 88},
      {"occasion", "ocasion", 77},  // not symmetric
      {"seperate", "separate", 89},
      {"cafe", "caf\xE9", 95},  // same base, other accent
      {"na\xEFve", "naive", 96},
      {"cat", "cot", 72},
      {"cat", "dog", 16},
      {"ab", "ba", 33},
      {"a", "e", 16},  // vowel for vowel
      {"a", "b", 0},   // vowel for consonant
      {"abc", "abcde", 88},
      {"abc", "abcdef", 0},  // three longer: no walk
      {"abcdef", "abc", 0},  // three shorter
      {"abcde", "abc", 53},
      {"Cat", "cat", 100},
      {"CAT", "c\xC0t", 94},
      {"a-b", "a.b", 100},  // bytes without a letter code are one letter
      {"a1", "a-", 100},
      {"alot", "a lot", 79},
      {"alot", "al ot", 79},
      {"alot", "alo t", 87},  // the space pairs with the word's end
      {"", "", 0},
      {"", "ab", 0},
      {"ab", "", 0},
      {"x", "xyz", 66},
      {"abcdefghijklmnopqrstuvwxyzabcd", "abcdefghijklmnopqrstuvwxyzabcd", 100},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ScoreSimilarity(row.misspelled, row.candidate), row.score)
        << row.misspelled << " / " << row.candidate;
  }
}

TEST(ScoreSimilarity, StaysWithinZeroToHundredForAnyBytes) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> byte(1, 255);
  std::uniform_int_distribution<int> length(0, 8);
  for (int round = 0; round < 20000; ++round) {
    std::string m(length(random), 'x');
    std::string k(length(random), 'x');
    for (char& c : m) c = static_cast<char>(byte(random));
    for (char& c : k) c = static_cast<char>(byte(random));
    const int32_t score = ScoreSimilarity(m.c_str(), k.c_str());
    ASSERT_GE(score, 0) << m << " / " << k;
    ASSERT_LE(score, 100) << m << " / " << k;
    std::string upper = m;
    for (char& c : upper) c = static_cast<char>(ToUpperChar(static_cast<unsigned char>(c)));
    if (!m.empty()) {
      ASSERT_EQ(ScoreSimilarity(m.c_str(), upper.c_str()), 100) << m;
    }
  }
}

// The list's words and scores, in order.
std::vector<std::pair<std::string, int32_t>> Contents(const CandidateList& list) {
  std::vector<std::pair<std::string, int32_t>> out;
  for (const Candidate& entry : list.entries) out.emplace_back(entry.word, entry.score);
  return out;
}

using Entries = std::vector<std::pair<std::string, int32_t>>;

TEST(OfferCandidate, RanksAndBoundsTheList) {
  struct Row {
    const char* name;
    uint32_t capacity;
    Entries offers;
    Entries expected;
  };
  const Row rows[] = {
      {"equal score after the existing ones",
       3,
       {{"a", 90}, {"b", 80}, {"c", 80}, {"d", 80}},
       {{"a", 90}, {"b", 80}, {"c", 80}}},
      {"higher score pushes the last off",
       3,
       {{"a", 90}, {"b", 80}, {"c", 80}, {"d", 85}},
       {{"a", 90}, {"d", 85}, {"b", 80}}},
      {"best goes first",
       3,
       {{"a", 90}, {"b", 80}, {"c", 80}, {"d", 95}},
       {{"d", 95}, {"a", 90}, {"b", 80}}},
      {"caseless duplicate keeps the first entry",
       5,
       {{"Paris", 70}, {"paris", 99}, {"PARIS", 10}},
       {{"Paris", 70}}},
      {"duplicate of an accented word differs only by case",
       5,
       {{"\xE9t\xE9", 50}, {"\xC9T\xC9", 60}, {"ete", 40}},
       {{"\xE9t\xE9", 50}, {"ete", 40}}},
      {"capacity 0 stays empty", 0, {{"a", 100}, {"b", 0}}, {}},
      {"score 0 is kept while there is room", 2, {{"a", 0}, {"b", 5}}, {{"b", 5}, {"a", 0}}},
      {"below every accepted score on a full list",
       2,
       {{"a", 50}, {"b", 60}, {"c", 40}},
       {{"b", 60}, {"a", 50}}},
  };
  for (const Row& row : rows) {
    CandidateList list = CreateCandidateList(row.capacity);
    for (const auto& [word, score] : row.offers) OfferCandidate(list, word.c_str(), score);
    EXPECT_EQ(Contents(list), row.expected) << row.name;
  }
}

TEST(OfferCandidate, LowestIsSetByTheFirstOfferAndNeverRaised) {
  CandidateList list = CreateCandidateList(2);
  EXPECT_EQ(list.lowest, 0);
  OfferCandidate(list, "a", 50);
  EXPECT_EQ(list.lowest, 50);
  OfferCandidate(list, "b", 30);
  EXPECT_EQ(list.lowest, 30);
  OfferCandidate(list, "c", 90);  // «b» 30 falls off; lowest stays
  OfferCandidate(list, "d", 80);
  EXPECT_EQ(Contents(list), (Entries{{"c", 90}, {"d", 80}}));
  EXPECT_EQ(list.lowest, 30);
  // Below lowest on a full list: refused even though it is no duplicate.
  OfferCandidate(list, "e", 20);
  EXPECT_EQ(list.entries.size(), 2u);

  // A refused offer to an empty list still sets lowest.
  CandidateList none = CreateCandidateList(0);
  OfferCandidate(none, "a", 42);
  EXPECT_EQ(none.lowest, 42);
  EXPECT_TRUE(none.entries.empty());
}

TEST(OfferCandidate, LongWordsAreCutButComparedUncut) {
  const std::string thirtyOne(31, 'q');
  const std::string thirty(30, 'q');
  CandidateList list = CreateCandidateList(4);
  OfferCandidate(list, thirtyOne.c_str(), 60);
  ASSERT_EQ(list.entries.size(), 1u);
  EXPECT_EQ(std::string(list.entries[0].word), thirty);
  // The stored cut form does not make the uncut offer a duplicate, and the
  // thirty-character word is no duplicate of the uncut offer either.
  OfferCandidate(list, thirtyOne.c_str(), 50);
  OfferCandidate(list, thirty.c_str(), 40);
  EXPECT_EQ(list.entries.size(), 2u);
  OfferCandidate(list, thirty.c_str(), 30);  // now a duplicate
  EXPECT_EQ(list.entries.size(), 2u);
}

// Random offers against a plain model of the list: sort everything offered
// by score (stable), drop caseless repeats of earlier accepted words.
TEST(OfferCandidate, MatchesAStableModelUnderRandomOffers) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> letter(0, 5);
  std::uniform_int_distribution<int> score(0, 12);
  for (uint32_t capacity : {1u, 3u, 8u, 50u}) {
    for (int round = 0; round < 200; ++round) {
      CandidateList list = CreateCandidateList(capacity);
      Entries model;
      for (int n = 0; n < 40; ++n) {
        std::string word = {static_cast<char>("aAbBcC"[letter(random)]),
                            static_cast<char>("xyXYzZ"[letter(random)])};
        const int32_t s = score(random) * 5;
        OfferCandidate(list, word.c_str(), s);

        // Model: the same steps, written out over a vector of pairs.
        const bool full = model.size() >= capacity;
        auto place =
            std::find_if(model.begin(), model.end(), [&](const auto& e) { return e.second < s; });
        if (full && place == model.end()) continue;
        const bool duplicate = std::any_of(model.begin(), model.end(), [&](const auto& e) {
          return CompareCaseless(e.first.c_str(), word.c_str()) == 0;
        });
        if (duplicate) continue;
        const auto at = place - model.begin();
        if (full) model.pop_back();
        model.insert(model.begin() + at, {word, s});
        ASSERT_EQ(Contents(list), model) << "capacity " << capacity << " offer " << n;
      }
      ASSERT_EQ(Contents(list), model);
      for (const Candidate& entry : list.entries) ASSERT_LE(list.lowest, entry.score);
    }
  }
}

}  // namespace
}  // namespace orth
