#include "encoding/source_position.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "lexcompiler/text_encoding.h"

namespace orth::cli {

void SourcePosition::SetPiece(std::string_view piece, size_t base) {
  piece_ = piece;
  base_ = base;
  // The owner counts up to the end of each piece before it is dropped, so
  // the new piece starts where counting stands.
  if (offset_ < base) offset_ = base;
  baseLine_ = line_;
  baseColumn_ = column_;
}

TextPosition SourcePosition::At(size_t offset) {
  if (offset < offset_ && offset >= base_) {
    offset_ = base_;
    line_ = baseLine_;
    column_ = baseColumn_;
  }
  Advance(offset);
  return {line_, column_};
}

void SourcePosition::Advance(size_t offset) {
  const size_t end = std::min(offset, base_ + piece_.size());
  if (end <= offset_) return;
  const char* const data = piece_.data() - base_;  // indexed by source offset
  size_t at = offset_;
  // Lines first: only the part after the last line end counts for the column.
  for (;;) {
    const void* newline = std::memchr(data + at, '\n', end - at);
    if (newline == nullptr) break;
    at = static_cast<size_t>(static_cast<const char*>(newline) - data) + 1;
    ++line_;
    column_ = 1;
  }
  if (at == 0 && end >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0 && !latin1_) at = 3;
  while (at < end) {
    const auto byte = static_cast<unsigned char>(data[at]);
    size_t length = 1;
    if (byte >= 0x80 && !latin1_) {
      uint32_t value = 0;
      const size_t decoded = DecodeUtf8Char(std::string_view(data + at, end - at), value);
      // A character cut by the end of the range counts once, where it starts.
      if (decoded == 0 && byte >= 0xC0) {
        uint32_t whole = 0;
        const size_t available = base_ + piece_.size() - at;
        if (DecodeUtf8Char(std::string_view(data + at, available), whole) > end - at) {
          length = end - at;
        }
      }
      if (decoded > 0) length = decoded;
    }
    ++column_;
    at += length;
  }
  offset_ = std::max(offset_, at);
}

}  // namespace orth::cli
