// The misspelling model of the ranked suggester: what each kind of slip
// costs, and the keyboard it assumes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "suggest/edit_model.h"

namespace orth {
namespace {

uint16_t Distance(const std::string& typed, const std::string& word) {
  const EditModel& model = DefaultEditModel();
  TypedWord prepared;
  PrepareTypedWord(model, typed.c_str(), prepared);
  return EditDistance(model, prepared, reinterpret_cast<const unsigned char*>(word.data()),
                      word.size());
}

TEST(EditModelTest, EachSlipCostsWhatTheModelSays) {
  const EditCosts c = DefaultEditModel().costs;
  struct Row {
    const char* typed;
    const char* word;
    int expected;
  };
  const Row rows[] = {
      {"receive", "receive", 0},
      {"recieve", "receive", c.transpose},      // two letters swapped
      {"teh", "the", c.transpose},              // also right after the first
      {"ocurred", "occurred", c.doubled},       // a doubled letter typed once
      {"untill", "until", c.doubled},           // a letter typed twice
      {"definately", "definitely", c.vowel},    // one vowel for another
      {"wprd", "word", c.keyboard},             // the key next to it
      {"kat", "cat", c.sound + c.firstLetter},  // the first letter is dear
      {"rythm", "rhythm", c.plain},             // a consonant left out
      {"fabrc", "fabric", c.missingVowel},      // a vowel left out
      {"wortd", "word", c.strayKey},            // an extra key beside a neighbour
      {"wor!d", "word", c.plain},               // anything else
      {"cafe", "caf\xe9", c.accent},            // only the accent differs
      {"wrod", "word", c.transpose},
      {"", "ab", c.missingVowel + c.firstLetter + c.plain},  // nothing typed
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Distance(row.typed, row.word), row.expected) << row.typed << " -> " << row.word;
  }
}

TEST(EditModelTest, SlipsAddUpAndTheDistanceIsNotSymmetric) {
  const EditCosts c = DefaultEditModel().costs;
  EXPECT_EQ(Distance("recieev", "receive"), 2u * c.transpose);
  // Typing a letter twice is judged by the typed word, leaving one out by the
  // dictionary word: «untill» for «until» is cheap, «until» for «untill» too,
  // but «unil» for «until» pays for a plain consonant.
  EXPECT_EQ(Distance("until", "untill"), c.doubled);
  EXPECT_EQ(Distance("unil", "until"), c.plain);
  EXPECT_LT(Distance("recieve", "receive"), Distance("recieve", "relieve"));
}

TEST(EditModelTest, KeyboardNeighboursFollowTheQwertyRows) {
  struct Row {
    char a, b;
    bool neighbours;
  };
  const Row rows[] = {
      {'s', 'a', true},  {'s', 'd', true},  {'s', 'w', true},  {'s', 'e', true}, {'s', 'z', true},
      {'s', 'x', true},  {'s', 'q', false}, {'s', 'c', false}, {'m', 'n', true}, {'m', 'j', true},
      {'m', 'k', true},  {'p', 'l', true},  {'p', 'o', true},  {'q', 'a', true}, {'a', 'a', false},
      {'a', 'p', false}, {'A', 's', false}, {'1', 'q', false},
  };
  for (const Row& row : rows) {
    const auto a = static_cast<unsigned char>(row.a);
    const auto b = static_cast<unsigned char>(row.b);
    EXPECT_EQ(AreKeyboardNeighbours(a, b), row.neighbours) << row.a << row.b;
    EXPECT_EQ(AreKeyboardNeighbours(b, a), row.neighbours) << row.b << row.a;
  }
}

TEST(EditModelTest, LongWordsAreCutAndDistancesSaturate) {
  const std::string longer(40, 'a');
  const std::string cut(WORD_MAX, 'a');
  EXPECT_EQ(Distance(longer, cut), 0u);
  EditCosts dear;
  dear.plain = 60000;
  EditModel model;
  BuildEditModel(dear, model);
  TypedWord typed;
  PrepareTypedWord(model, "xyzxyzxyz", typed);
  const unsigned char word[] = "bcdbcdbcd";
  EXPECT_EQ(EditDistance(model, typed, word, 9), EDIT_COST_LIMIT);
}

}  // namespace
}  // namespace orth
