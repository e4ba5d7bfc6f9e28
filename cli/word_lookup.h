// The engine's suggestion and sounds-alike searches as lists of strings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orth::cli {

struct ScoredWord {
  std::string word;   // Latin-1
  int32_t score = 0;  // 0..100
};

// Up to maxCount ranked corrections of a Latin-1 word at search level `level`
// (SUGGEST_LEVEL_AUTO or 0..3). Returns 0 or the engine's negative code.
int32_t SuggestWords(int32_t session, const std::string& latin1Word, int32_t level,
                     int32_t maxCount, std::vector<ScoredWord>& out);

// The lexicon words that sound like a Latin-1 word, in the engine's order.
// Returns 0 or the engine's negative code.
int32_t SoundsLikeWords(int32_t session, const std::string& latin1Word,
                        std::vector<std::string>& out);

// Parses a --level value: "auto" or 0..3.
bool ParseSuggestLevel(const std::string& text, int32_t& level);

}  // namespace orth::cli
