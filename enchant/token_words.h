// What a token that Enchant hands over means to the engine.
//
// Enchant's hosts cut text into tokens (with the provider's word-character
// rule or their own) and pass each one as UTF-8; the engine reads Latin-1
// words. A token is converted at the edge as orthspell converts its input
// (encoding/engine_text.h): characters up to U+00FF are their own byte, the
// typographic apostrophes are the apostrophe, the ligatures œ and Œ are the
// letters oe and OE, and every other character becomes a byte that ends a
// word. The engine's words are then found in it as orthspell's checking stage
// finds them: a word starts at a letter and runs over letters, digits and
// apostrophes, and its trailing apostrophes are left off. So `don’t` is the
// word don't, `well-known` is two words, `Œuvre` is the word OEuvre and
// `привет` holds no word at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "encoding/latin1_classes.h"

namespace orth::provider {

// How many suggestions a token gets at most (what orthspell suggest gives).
inline constexpr int32_t MAX_SUGGESTIONS = 10;

// The characters that join a word besides letters, as Enchant's
// get_extra_word_characters reports them: digits and the apostrophes (UTF-8).
inline constexpr char EXTRA_WORD_CHARACTERS[] = "0123456789'\u2019\u2018\u02BC";

// Whether a character belongs to a word at a position of it (Enchant's
// is_word_character: 0 the first character, 1 a middle one, 2 the last).
// Only a letter starts a word; letters, digits and apostrophes continue it;
// an apostrophe does not end it. Characters outside Latin-1 never belong to
// a word, apart from the typographic apostrophes and the ligatures œ and Œ.
bool IsWordCharacter(uint32_t character, size_t position);

// Converts a UTF-8 token to the engine's bytes, one byte per character
// (malformed bytes are read as the Latin-1 characters of their values).
void TokenToEngineBytes(std::string_view utf8, std::string& engine);

// An engine word of engine bytes: [begin, end).
struct WordSpan {
  size_t begin = 0;
  size_t end = 0;
  bool operator==(const WordSpan&) const = default;
};

// Calls visit(WordSpan) for each engine word of engine bytes, in order,
// until it returns false; returns false when it stopped early.
template <typename Visit>
bool ForEachEngineWord(std::string_view engine, Visit visit);

// The engine's words of engine bytes, in order.
std::vector<WordSpan> EngineWordSpans(std::string_view engine);

// Checks a UTF-8 token in an engine session: 0 when every word of it is
// correct (a token without words is correct), 1 when one is misspelled, or
// the engine's negative error code.
int32_t CheckToken(int32_t session, std::string_view utf8);

// Up to MAX_SUGGESTIONS ranked corrections of a UTF-8 token as UTF-8, best
// first. A token holding characters outside Latin-1 (apart from the
// typographic apostrophes) gets none. Returns 0 or the engine's negative
// error code.
int32_t SuggestForToken(int32_t session, std::string_view utf8, std::vector<std::string>& out);

// ---- Implementation ---------------------------------------------------------

template <typename Visit>
bool ForEachEngineWord(std::string_view engine, Visit visit) {
  for (size_t i = 0; i < engine.size();) {
    if (!cli::IsLetter(engine[i])) {
      ++i;
      continue;
    }
    const size_t begin = i++;
    while (i < engine.size() && cli::ContinuesWord(engine[i])) ++i;
    size_t end = i;
    while (engine[end - 1] == '\'') --end;  // the first byte is a letter
    if (!visit(WordSpan{begin, end})) return false;
  }
  return true;
}

}  // namespace orth::provider
