// Walks a text paragraph by paragraph through the engine's block check and
// hands every finding to a callback, with its position in characters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace orth::cli {

enum class FindingKind {
  Misspelled,   // found in no lexicon
  Replacement,  // a replacement list holds it: `other` is the replacement
  Suggestion,   // a suggest lexicon holds it: `other` is the suggestion
  Doubled       // the word repeats the word before it
};

struct BlockFinding {
  FindingKind kind = FindingKind::Misspelled;
  size_t offset = 0;  // character offset of the word's first letter in the whole text
  size_t length = 0;  // its length in characters
  std::string word;   // the word as the engine read it (Latin-1)
  std::string other;  // the replacement or suggestion (Latin-1), when the kind has one
};

struct WalkCounts {
  uint64_t words = 0;       // words walked (counted only when asked for)
  uint64_t paragraphs = 0;  // blocks opened
};

// Checks `latin1` with the OPT_* bits in session `session`, one block per
// paragraph (paragraphs are separated by lines holding only white space, so
// a doubled word is never reported across them). A word that is misspelled
// and doubled gives two findings, the misspelling first. countWords adds
// the number of words to `counts` (one extra pass of the engine per
// paragraph). Returns 0, or the engine's negative code when a block cannot be
// opened or walked.
int32_t WalkText(int32_t session, uint32_t options, std::string_view latin1, bool countWords,
                 const std::function<void(const BlockFinding&)>& onFinding, WalkCounts& counts);

}  // namespace orth::cli
