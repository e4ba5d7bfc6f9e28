// The distance search of the ranked suggester: every word of a RankIndex
// within a distance of the typed word under the misspelling model. The tree
// is walked depth first; the distance row of a prefix is computed once for
// all the words under it, and a prefix from which no word can come within
// the limit is skipped with its whole subtree.
#pragma once

#include <cstdint>

#include "suggest/edit_model.h"
#include "suggest/rank_index.h"

namespace orth {

struct NearWord {
  char word[RANK_WORD_MAX + 1];  // NUL-terminated
  uint16_t distance;             // EditDistance of the word from the typed word
  uint8_t grade;                 // its commonness grade
};

// Receives each word found; returns the limit for the rest of the walk (the
// caller may lower it once it knows that farther words cannot matter).
struct NearWordSink {
  void* context;
  uint16_t (*found)(void* context, const NearWord& word);
};

// Passes every word within `limit` (as lowered by the sink) to the sink. The
// subtree of the typed word's first letter is walked first, then the rest in
// byte order.
void FindNearWords(const RankIndex& index, const EditModel& model, const TypedWord& typed,
                   uint16_t limit, const NearWordSink& sink);

}  // namespace orth
