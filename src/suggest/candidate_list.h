// The bounded, ranked list of suggestions of one suggestion call.
#pragma once

#include <cstdint>
#include <vector>

#include "orth.h"

namespace orth {

// One suggestion: the word as offered (cut to WORD_MAX characters) and its
// score, 0..100 from ScoreSimilarity or 99 for a text lexicon's replacement.
struct Candidate {
  char word[WORD_MAX + 1];
  int32_t score;
};

// At most `capacity` candidates in descending score order; equal scores keep
// the order in which they were offered, and no two words are equal under
// the caseless comparison. `entries` holds exactly the entries in use (its
// size is the count); its storage grows with the entries, so a large
// capacity costs nothing until it is filled. `lowest` is the lowest score
// accepted since the list was last empty: a lower bound of every score in
// the list, set by the first offer to an empty list and never raised.
struct CandidateList {
  std::vector<Candidate> entries;
  uint32_t capacity = 0;
  int32_t lowest = 0;
};

// A new, empty list for at most capacity entries. Throws std::bad_alloc when
// the first entries cannot be reserved.
CandidateList CreateCandidateList(uint32_t capacity);

// Inserts word with score at its place, or refuses it silently: an offer
// that would fall off the end of a full list, and a word already in the list
// (under the caseless comparison, whatever either score) are refused. On a
// full list the last entry drops off. A score below `lowest` on a full list
// is refused without scanning the entries.
void OfferCandidate(CandidateList& list, const char* word, int32_t score);

}  // namespace orth
