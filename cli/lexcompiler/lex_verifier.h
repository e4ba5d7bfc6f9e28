// Checking a written lexicon with the engine's own loader, cache, decoder
// and lookup.
#pragma once

#include <string>

#include "lexcompiler/lex_layout.h"

namespace orth {

// Opens the file as the engine would and checks that every word of the
// layout is found by the lookup, and that each section decodes to exactly
// its words in order. False with `error` naming the first difference.
bool VerifyLexFile(const std::string& path, const LexLayout& layout, std::string& error);

}  // namespace orth
