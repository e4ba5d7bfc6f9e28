// Positions of the language server: byte offsets into a document's UTF-8
// text on one side, LSP positions (a line and a character offset in the
// encoding agreed at initialize) on the other. Every conversion between them
// lives here.
//
// Lines end at "\n", "\r\n" or a lone "\r", as the protocol says. A character
// offset counts UTF-16 code units (a character beyond U+FFFF counts two) or
// UTF-8 bytes. Bytes that are not well-formed UTF-8 (a client never sends
// them, but the server must not trip on them) count one unit each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace orth::cli::lsp {

enum class PositionEncoding { UTF8, UTF16 };

struct Position {
  size_t line = 0;
  size_t character = 0;
};

// Where each line of a text starts.
class LineIndex {
 public:
  // Indexes `text` from scratch.
  void Build(std::string_view text);

  // Follows an edit: bytes [begin, oldEnd) of the old text were replaced, and
  // `text` (the new text) holds the new bytes at [begin, newEnd).
  void Update(std::string_view text, size_t begin, size_t oldEnd, size_t newEnd);

  size_t lineCount() const { return starts_.size(); }
  size_t LineStart(size_t line) const { return starts_[line]; }
  // The line holding byte `offset` (the last line for offsets past the end).
  size_t LineOf(size_t offset) const;
  // The end of a line's text, before its line end.
  size_t LineEnd(std::string_view text, size_t line) const;

  const std::vector<size_t>& starts() const { return starts_; }

 private:
  std::vector<size_t> starts_{0};
};

// The position of byte `offset` (clamped to the text).
Position ToPosition(std::string_view text, const LineIndex& lines, size_t offset,
                    PositionEncoding encoding);

// The positions of offsets taken in order: a line is counted on from the
// last offset taken on it, so that the positions of all the findings of a
// line (of any length) cost one pass over it. An offset before the last one
// counts its line again from its start.
class PositionCursor {
 public:
  PositionCursor(std::string_view text, const LineIndex& lines, PositionEncoding encoding)
      : text_(text), lines_(lines), encoding_(encoding) {}
  Position At(size_t offset);

 private:
  std::string_view text_;
  const LineIndex& lines_;
  PositionEncoding encoding_;
  size_t line_ = SIZE_MAX;
  size_t at_ = 0;     // where counting stopped
  size_t units_ = 0;  // the units of the line before at_
};

// The byte offset of a position. A line past the last gives the end of the
// text; a character past the end of its line gives the end of the line; a
// position inside a character (half of a surrogate pair, a byte inside a
// UTF-8 sequence) gives the start of that character.
size_t ToOffset(std::string_view text, const LineIndex& lines, Position position,
                PositionEncoding encoding);

}  // namespace orth::cli::lsp
