#include "suggest/candidate_list.h"

#include <algorithm>
#include <cstring>

#include "text/char_table.h"

namespace orth {
namespace {

// Entries reserved up front; the list grows past this only when a caller asks
// for more suggestions and the search finds them.
constexpr uint32_t INITIAL_RESERVE = 64;

}  // namespace

CandidateList CreateCandidateList(uint32_t capacity) {
  CandidateList list;
  list.capacity = capacity;
  list.entries.reserve(std::min(capacity, INITIAL_RESERVE));
  return list;
}

void OfferCandidate(CandidateList& list, const char* word, int32_t score) {
  std::vector<Candidate>& entries = list.entries;
  const size_t count = entries.size();
  if (count == 0) list.lowest = score;
  const bool full = count >= list.capacity;
  if (full && score < list.lowest) return;

  // Equal scores go after the entries already holding them.
  size_t position = 0;
  while (position < count && entries[position].score >= score) ++position;
  if (full && position == count) return;

  // The uncut offer is compared, so a word longer than WORD_MAX never equals
  // the cut form of itself that an entry may hold.
  for (const Candidate& entry : entries) {
    if (CompareCaseless(word, entry.word) == 0) return;
  }

  Candidate candidate;
  size_t length = 0;
  while (length < WORD_MAX && word[length] != '\0') ++length;
  std::memcpy(candidate.word, word, length);
  candidate.word[length] = '\0';
  candidate.score = score;
  if (full) entries.pop_back();
  entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(position), candidate);
  if (score < list.lowest) list.lowest = score;
}

}  // namespace orth
