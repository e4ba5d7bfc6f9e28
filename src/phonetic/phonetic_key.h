// The phonetic key of a word: a short string of consonant classes under which
// words that sound alike meet. Vowels and silent letters give nothing, letters
// that sound alike share one key letter, a few letter pairs stand for one
// sound, and no key letter appears twice in a row.
#pragma once

#include <array>
#include <cstddef>

#include "text/char_table.h"

namespace orth {

// Key letter of each letter code 0..56: '-' for a letter that gives none
// (apostrophe, vowels, h, w, y and the accented letters but ç and ñ).
inline constexpr char PHON_KEY_TABLE[] =
    "--bcd-fc--jclmm-bcrsd-f-s-s-------s--------m-------------";
static_assert(sizeof(PHON_KEY_TABLE) == LETTER_CODE_COUNT + 1);

// Key letter of a byte without a letter code (digits, hyphen, symbols).
inline constexpr char PHON_KEY_NO_LETTER = '_';
// Key letter a word gets when its first byte gives none.
inline constexpr char PHON_KEY_SILENT_START = 'a';

// The key letter of one byte through its letter code.
inline char PhonKeyTable(unsigned char c) {
  const int32_t code = LetterCodeOf(c);
  return code < 0 ? PHON_KEY_NO_LETTER : PHON_KEY_TABLE[code];
}

// A pair of lower-case letters read as the single letter it stands for.
struct PhonDigraph {
  char first;
  char second;
  char standsFor;
};

// Tried in this order; the first pair that matches the exact bytes wins, so
// only lower-case letters form a digraph.
inline constexpr std::array<PhonDigraph, 8> PhonDigraphs = {{
    {'c', 'e', 's'},
    {'c', 'i', 's'},
    {'c', 'k', 'c'},
    {'d', 'g', 'j'},
    {'g', 'e', 'j'},
    {'k', 'n', 'n'},
    {'p', 'h', 'f'},
    {'p', 's', 's'},
}};

// Writes the key of word (null counts as empty) into key, at most
// keySize - 1 letters and a NUL; nothing when keySize is 0. The key is never
// longer than the word, so keySize = word length + 1 always holds it whole.
// Returns the key's length.
size_t PhoneticKey(const char* word, char* key, size_t keySize);

}  // namespace orth
