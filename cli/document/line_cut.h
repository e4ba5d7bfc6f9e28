// Where a line-oriented parser may stop reading a piece of input.
#pragma once

#include <cstddef>
#include <string_view>

#include "document/document_format.h"

namespace orth::cli {

// The length of the longest prefix of `input` that a parser reading whole
// lines can take now: up to and including the last line end; all of it when
// `end` is LAST; and under FULL, when no line ends in the piece, up to the
// last space or tab, or else the last UTF-8 character boundary (never 0 for
// a non-empty piece).
size_t CompleteLinesLength(std::string_view input, InputEnd end);

// Whether a line holds only white space (spaces, tabs, CR, FF, VT).
bool IsBlankLine(std::string_view line);

// The line of `input` that starts at `start`, without its line end ("\n" or
// "\r\n"), and the offset where the next line starts (input.size() at the
// end).
std::string_view LineAt(std::string_view input, size_t start, size_t& next);

}  // namespace orth::cli
