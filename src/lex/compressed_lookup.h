// Whether a word is in a compressed lexicon: one- and two-letter words in the
// short-word table, longer words in their section.
#pragma once

#include <cstdint>

#include "lex/compressed_lex.h"

namespace orth {

// Looks up a normalised word of at least one character, exactly (no case or
// accent folding). Returns 0 when found, ERR_NOT_FOUND otherwise; a section
// that cannot be loaded counts as not found. Changes the cache state of the
// lexicon for words of three or more characters.
int32_t FindInCompressedLex(const char* word, CompressedLex& lex);

// Binary search of the short-word table for the word's first two bytes (the
// second is the NUL of a one-letter word).
bool FindShortWord(const char* word, const ShortWord* table, uint32_t count);

// The order of the short-word table: first bytes, then second bytes, both
// unsigned. Negative, 0 or positive.
int32_t CompareShortWords(const ShortWord& a, const ShortWord& b);

}  // namespace orth
