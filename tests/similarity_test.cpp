// The similarity score and the ranked candidate list.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "suggest/candidate_list.h"
#include "suggest/similarity.h"

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

TEST(OfferCandidate, LongWordsAreCutButComparedUncut) {
  const std::string thirtyOne(31, 'q');
  const std::string thirty(30, 'q');
  CandidateList list = CreateCandidateList(4);
  OfferCandidate(list, thirtyOne.c_str(), 60);
  ASSERT_EQ(list.entries.size(), 1u);
  EXPECT_EQ(std::string(list.entries[0].word), thirty);
  // The uncut offer is compared: the same 31 characters again are no
  // duplicate of the stored cut form, but its 30-character form is.
  OfferCandidate(list, thirtyOne.c_str(), 50);
  EXPECT_EQ(list.entries.size(), 2u);
  OfferCandidate(list, thirty.c_str(), 40);
  EXPECT_EQ(list.entries.size(), 2u);
}

}  // namespace
}  // namespace orth
