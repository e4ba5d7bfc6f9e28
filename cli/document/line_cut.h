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

// One line of a piece as a line-oriented parser reads it.
struct PieceLine {
  std::string_view text;     // without its line end, and without a byte-order
                             // mark at the very start of the input
  size_t offset = 0;         // the source offset of `text`
  std::string_view lineEnd;  // "\n" or "\r\n"; empty when the line goes on
                             // in the next piece (longer than the window)
  std::string_view withEnd;  // `text` and its line end
  bool complete = false;     // the line ends here
};

// Calls visit(const PieceLine&) for each line of the prefix of `input` that a
// line-oriented parser may take now (see CompleteLinesLength), in order,
// until visit returns false. `base` is the source offset of `input`.
// Returns the length of the prefix.
template <typename Visit>
size_t ForEachPieceLine(std::string_view input, size_t base, InputEnd end, Visit&& visit) {
  const size_t length = CompleteLinesLength(input, end);
  const std::string_view lines = input.substr(0, length);
  size_t position = 0;
  while (position < length) {
    size_t next = 0;
    PieceLine line;
    line.text = LineAt(lines, position, next);
    line.complete = lines[next - 1] == '\n';
    size_t start = position;
    if (base + position == 0 && line.text.substr(0, 3) == "\xEF\xBB\xBF") {
      line.text.remove_prefix(3);
      start += 3;
    }
    line.offset = base + start;
    line.withEnd = lines.substr(start, next - start);
    line.lineEnd = line.withEnd.substr(line.text.size());
    position = next;
    if (!visit(line)) break;
  }
  return length;
}

}  // namespace orth::cli
