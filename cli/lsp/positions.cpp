#include "lsp/positions.h"

#include <algorithm>

#include "lexcompiler/text_encoding.h"

namespace orth::cli::lsp {

namespace {

// Whether a line starts at `at` (0 < at <= text.size()).
bool StartsLine(std::string_view text, size_t at) {
  const char before = text[at - 1];
  return before == '\n' || (before == '\r' && (at == text.size() || text[at] != '\n'));
}

void AddStarts(std::string_view text, size_t from, size_t to, std::vector<size_t>& out) {
  for (size_t at = std::max<size_t>(from, 1); at <= to && at <= text.size(); ++at) {
    if (StartsLine(text, at)) out.push_back(at);
  }
}

// The length of the character at `at` and its UTF-16 units.
size_t CharacterAt(std::string_view text, size_t at, size_t& units) {
  const auto byte = static_cast<unsigned char>(text[at]);
  units = 1;
  if (byte < 0x80) return 1;
  uint32_t value = 0;
  const size_t length = DecodeUtf8Char(text.substr(at), value);
  if (length == 0) return 1;
  if (value > 0xFFFF) units = 2;
  return length;
}

}  // namespace

void LineIndex::Build(std::string_view text) {
  starts_.assign(1, 0);
  AddStarts(text, 1, text.size(), starts_);
}

void LineIndex::Update(std::string_view text, size_t begin, size_t oldEnd, size_t newEnd) {
  // A line start depends on the bytes on both sides of it: the starts up to
  // `begin` keep their place, those past `oldEnd` move, and the ones in
  // between are found again.
  const auto first = std::lower_bound(starts_.begin() + 1, starts_.end(), begin);
  const auto last = std::upper_bound(first, starts_.end(), oldEnd);
  std::vector<size_t> found;
  AddStarts(text, begin, newEnd, found);
  for (auto it = last; it != starts_.end(); ++it) *it = *it - oldEnd + newEnd;
  const auto at = starts_.erase(first, last);
  starts_.insert(at, found.begin(), found.end());
}

size_t LineIndex::LineOf(size_t offset) const {
  return static_cast<size_t>(std::upper_bound(starts_.begin(), starts_.end(), offset) -
                             starts_.begin()) -
         1;
}

size_t LineIndex::LineEnd(std::string_view text, size_t line) const {
  size_t end = line + 1 < starts_.size() ? starts_[line + 1] : text.size();
  if (end > starts_[line] && text[end - 1] == '\n') --end;
  if (end > starts_[line] && text[end - 1] == '\r') --end;
  return end;
}

Position ToPosition(std::string_view text, const LineIndex& lines, size_t offset,
                    PositionEncoding encoding) {
  offset = std::min(offset, text.size());
  Position position;
  position.line = lines.LineOf(offset);
  const size_t start = lines.LineStart(position.line);
  if (encoding == PositionEncoding::UTF8) {
    position.character = offset - start;
    return position;
  }
  for (size_t at = start; at < offset;) {
    size_t units = 0;
    at += CharacterAt(text, at, units);
    position.character += units;
  }
  return position;
}

Position PositionCursor::At(size_t offset) {
  offset = std::min(offset, text_.size());
  const size_t line = lines_.LineOf(offset);
  if (line != line_ || offset < at_) {
    line_ = line;
    at_ = lines_.LineStart(line);
    units_ = 0;
  }
  while (at_ < offset) {
    size_t units = 0;
    const size_t length = CharacterAt(text_, at_, units);
    units_ += encoding_ == PositionEncoding::UTF8 ? length : units;
    at_ += length;
  }
  return {line, units_};
}

size_t ToOffset(std::string_view text, const LineIndex& lines, Position position,
                PositionEncoding encoding) {
  if (position.line >= lines.lineCount()) return text.size();
  const size_t start = lines.LineStart(position.line);
  const size_t end = lines.LineEnd(text, position.line);
  size_t at = start;
  size_t counted = 0;
  while (at < end) {
    size_t units = 0;
    const size_t length = CharacterAt(text, at, units);
    if (encoding == PositionEncoding::UTF8) units = length;
    if (counted + units > position.character) break;
    counted += units;
    at += length;
  }
  return at;
}

}  // namespace orth::cli::lsp
