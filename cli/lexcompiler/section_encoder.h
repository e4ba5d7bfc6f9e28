// Encoding a section's words as records of packed 5-bit codes that the
// section decoder reads back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lexcompiler/lex_layout.h"
#include "lexcompiler/word_spelling.h"

namespace orth {

// The character a word's spelling starts from when it follows `previous` in a
// record (nothing to share for the first word of a record: pass an empty
// previous word): 3, the whole previous word, or the characters the two
// share. Not a choice of codes, just where the natural shared part ends.
size_t SharedStart(const std::string& previous, const std::string& word);

// Appends the codes of `word` (three or more characters) after `previous` in
// the same record, CODE_END included: for the first word of a record
// (`previous` empty) its characters after the third; otherwise CODE_RESUME,
// CODE_SKIP n or neither, whichever with the rest of the word is cheapest.
// False when the word cannot be spelled with letters, accents and `tokens`,
// or when it is a word of three characters that is not first in its record.
bool AppendWordCodes(const std::string& previous, const std::string& word, const TokenList& tokens,
                     std::vector<uint8_t>& codes);

// Packs codes three to a unit, filling the last unit with CODE_END, and
// appends the units' bytes (little-endian).
void AppendUnits(const std::vector<uint8_t>& codes, std::vector<unsigned char>& bytes);

// Encodes the words of a section (in section order, all spellable) into its
// data: one record per third character. False with `error` set when the data
// would exceed MAX_SECTION_SIZE bytes (the message names the letter pair) or
// a word cannot be written.
bool EncodeSection(const SectionWords& section, const TokenList& tokens,
                   std::vector<unsigned char>& data, std::string& error);

}  // namespace orth
