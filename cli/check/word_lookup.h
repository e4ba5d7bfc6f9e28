// The engine's suggestion and sounds-alike searches as lists of strings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "commands/common_options.h"

namespace orth::cli {

struct ScoredWord {
  std::string word;   // Latin-1
  int32_t score = 0;  // 0..100
};

// Up to suggestion.maxSuggestions corrections of a Latin-1 word, best first:
// the ranked suggester's, or the classic search's at suggestion.level.
// Returns 0 or the engine's negative code.
int32_t SuggestWords(int32_t session, const std::string& latin1Word,
                     const SuggestionOptions& suggestion, std::vector<ScoredWord>& out);

// The lexicon words that sound like a Latin-1 word, in the engine's order.
// Returns 0 or the engine's negative code.
int32_t SoundsLikeWords(int32_t session, const std::string& latin1Word,
                        std::vector<std::string>& out);

// Parses a --level value: "auto" or 0..3.
bool ParseSuggestLevel(const std::string& text, int32_t& level);

}  // namespace orth::cli
