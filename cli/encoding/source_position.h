// Lines and columns of source offsets, counted forward as the input streams
// by: the position of every finding without keeping the input. Columns count
// characters: a UTF-8 character is one column, and so is each byte that is
// not part of a well-formed character (it is read as Latin-1). A byte-order
// mark at the start of the input takes no column.
#pragma once

#include <cstddef>
#include <string_view>

namespace orth::cli {

struct TextPosition {
  size_t line = 1;    // 1-based
  size_t column = 1;  // 1-based, in characters
};

class SourcePosition {
 public:
  // Latin-1 input: every byte is a character.
  explicit SourcePosition(bool latin1 = false) : latin1_(latin1) {}

  // Whether the bytes from here on are Latin-1.
  void SetLatin1(bool latin1) { latin1_ = latin1; }

  // The piece of input now readable: bytes from offset `base` on. Offsets
  // asked for must lie in it, at or after the start of the previous piece.
  void SetPiece(std::string_view piece, size_t base);

  // The line and column of a source offset. Offsets usually come in
  // increasing order; an earlier one inside the current piece is counted
  // again from the piece's start.
  TextPosition At(size_t offset);

 private:
  void Advance(size_t offset);

  bool latin1_;
  std::string_view piece_;
  size_t base_ = 0;
  size_t offset_ = 0;  // where line_ and column_ stand
  size_t line_ = 1;
  size_t column_ = 1;
  // Where the piece began, to count again from there.
  size_t baseLine_ = 1;
  size_t baseColumn_ = 1;
};

}  // namespace orth::cli
