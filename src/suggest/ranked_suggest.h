// The ranked suggester behind ORTH_SuggestRanked: candidates from a distance
// search over each dictionary's words, the words of the user's lists, their
// replacements and split words, ranked by a model of how people misspell
// (weighted edit distance, agreement of the phonetic key, commonness of the
// word). It works beside the classic search and changes nothing it returns.
#pragma once

#include <cstdint>

#include "suggest/edit_model.h"

namespace orth {

struct Session;

// Weights of the ranking besides the edit costs, in the same hundredths of
// one plain edit.
struct RankWeights {
  uint16_t limit = 250;          // the largest distance a dictionary word may have,
  uint16_t limitBase = 60;       // and for a short word at most limitBase +
  uint16_t limitPerLetter = 50;  // limitPerLetter x its length
  // The search first looks only this far, and looks to the whole limit only
  // when no word it found costs at most widenAbove, leaving commonness out.
  uint16_t firstReach = 170;
  uint16_t widenAbove = 100;
  uint16_t sameSound = 30;  // taken off when the phonetic keys agree
  // Added per tier below the most common one. Frequency-graded dictionaries
  // have a tier for each halving of a word's count, so a word a thousand
  // times rarer than the most common one pays about 20.
  uint16_t lessCommon = 2;
  uint16_t unlisted = 70;  // added for a word no tier lists
  // The parts of a split word must be of this tier or a better one: with a
  // frequency-graded dictionary, words met about once in 3,000 running words
  // or more often («every», «time», «lot»); with a list of common words,
  // that list.
  uint16_t commonPart = 8;
  uint16_t split = 110;          // a space put into the typed word
  uint16_t shortSplitPart = 60;  // added per part of one or two letters
};

struct RankModel {
  EditModel edit;
  RankWeights weights;
};

void BuildRankModel(const EditCosts& costs, const RankWeights& weights, RankModel& model);

// The model of the default costs and weights, built on first use.
const RankModel& DefaultRankModel();

// Scores written for the three kinds of suggestion: the typed word itself
// when a dictionary holds it, a user list's replacement, and the best any
// other suggestion can get (the others fall with their cost, down to 1).
inline constexpr int32_t RANKED_EXACT_SCORE = 100;
inline constexpr int32_t RANKED_REPLACEMENT_SCORE = 99;
inline constexpr int32_t RANKED_BEST_OTHER_SCORE = 98;

// The whole ranked search after the session check, with the conventions of
// the classic one: word may be null (nothing to suggest), buffer null (never
// written), scores null (no score written); returns 0, ERR_NO_MEMORY
// (maxCount negative; buffer holds the empty list) or ERR_BUFFER_TOO_SMALL.
// Throws std::bad_alloc when memory runs out.
int32_t SuggestRanked(Session& session, const char* word, char* buffer, uint32_t bufferSize,
                      int32_t* scores, int32_t maxCount);

// The same under another model (what the tuning tool compares).
int32_t SuggestRankedWith(const RankModel& model, Session& session, const char* word, char* buffer,
                          uint32_t bufferSize, int32_t* scores, int32_t maxCount);

}  // namespace orth
