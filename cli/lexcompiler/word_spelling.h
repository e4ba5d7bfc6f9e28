// Spelling characters as section codes: letters (one code), accents (two
// codes) and tokens (two codes for up to TOKEN_MAX characters), choosing the
// cheapest mix.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orth {

// The token strings a lexicon is written with: at most MAX_TOKENS, each of 1
// to TOKEN_MAX characters, none containing NUL. Token n is element n.
using TokenList = std::vector<std::string>;

// A cost for text that cannot be spelled at all.
inline constexpr int64_t SPELLING_IMPOSSIBLE = INT64_MAX / 4;

// Codes a single character costs without tokens: 1 for the apostrophe and
// a..z, 2 for the accents of the stream, `missingCost` for anything else.
int64_t CharacterCost(unsigned char c, int64_t missingCost);

// Whether letters or accents spell the character without a token.
bool IsStreamCharacter(unsigned char c);

// The number of codes of the cheapest spelling of `text`, where a character
// that neither a letter, an accent nor a token spells costs `missingCost`
// (SPELLING_IMPOSSIBLE: it cannot be spelled, and neither can the text).
int64_t SpellingCost(std::string_view text, const TokenList& tokens,
                     int64_t missingCost = SPELLING_IMPOSSIBLE);

// Appends the codes of the cheapest spelling of `text` (letters, CODE_ACCENT
// n, CODE_TOKEN n; no CODE_END). False, with nothing appended, when a
// character cannot be spelled.
bool AppendSpelling(std::string_view text, const TokenList& tokens, std::vector<uint8_t>& codes);

}  // namespace orth
