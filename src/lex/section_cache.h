// The section cache of a compressed lexicon: section data is read into memory
// on first use and kept within the lexicon's byte budget, releasing the least
// recently used resident sections when a section does not fit.
#pragma once

#include <cstdint>

#include "lex/compressed_lex.h"

namespace orth {

// Makes the section at `position` (0..3024, a position that holds a section)
// resident. Every call advances the lexicon's use counter; a successful call
// (hit or load) stamps the section as the most recently used. Returns:
//   0              the section's data is resident
//   -1             the section is empty (size 0); nothing to decode
//   ERR_NO_MEMORY  its buffer could not be allocated (sections released to
//                  make room stay released)
//   ERR_BAD_FORMAT seeking to its data or reading all of it failed
// A position outside the index or without a section gives ERR_NOT_FOUND.
// The data stays valid until the next LoadSection on the same lexicon or the
// close.
int32_t LoadSection(CompressedLex& lex, int32_t position);

// Releases a section's word index (kept in lex.wordIndexBytes) and restarts
// its count of uses; the cache calls it whenever the section's data goes.
void DropSectionWordIndex(CompressedLex& lex, LexSection& section);

}  // namespace orth
