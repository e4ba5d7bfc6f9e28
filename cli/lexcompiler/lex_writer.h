// Assembling and writing a compressed lexicon file: header with the token
// area, short-word table, section directory and section data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lexcompiler/lex_layout.h"
#include "lexcompiler/word_spelling.h"

namespace orth {

// The bytes of the whole file. `sectionData[i]` is the encoded data of
// `layout.sections[i]` (at most MAX_SECTION_SIZE bytes each); sections are
// stored in position order right after the directory. The first bytes of the
// header say in text what the file is (never a '#', so the file is never
// taken for a text lexicon).
std::vector<unsigned char> BuildLexImage(
    uint16_t language, const LexLayout& layout, const TokenList& tokens,
    const std::vector<std::vector<unsigned char>>& sectionData);

// Writes bytes to a file through a temporary file in the same folder that
// replaces it only once complete, so a failure leaves an existing file as it
// was. False with `error` set on failure.
bool WriteFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes,
                         std::string& error);

}  // namespace orth
