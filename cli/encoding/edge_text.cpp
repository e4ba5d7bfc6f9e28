#include "encoding/edge_text.h"

#include <algorithm>

#include "lexcompiler/text_encoding.h"

namespace orth::cli {

namespace {

constexpr char APOSTROPHE_BYTE = 39;

bool IsTypographicApostrophe(uint32_t codePoint) {
  return codePoint == 0x2019 || codePoint == 0x2018 || codePoint == 0x02BC;
}

}  // namespace

char Latin1StandIn(uint32_t codePoint) {
  if (IsTypographicApostrophe(codePoint)) return APOSTROPHE_BYTE;
  if ((codePoint >= 0x2000 && codePoint <= 0x200A) || codePoint == 0x2028 || codePoint == 0x2029 ||
      codePoint == 0x202F || codePoint == 0x205F || codePoint == 0x3000) {
    return ' ';
  }
  if (codePoint >= 0x2010 && codePoint <= 0x2015) return '-';
  if (codePoint >= 0x201A && codePoint <= 0x201F) return '"';
  if (codePoint == 0x2026) return '.';
  return NON_LATIN1_STAND_IN;
}

EdgeText DecodeEdgeText(std::string_view input) {
  EdgeText text;
  text.latin1.reserve(input.size());
  text.sourceOffset.reserve(input.size() + 1);
  size_t i = 0;
  while (i < input.size()) {
    text.sourceOffset.push_back(i);
    uint32_t value = 0;
    const size_t length = DecodeUtf8Char(input.substr(i), value);
    if (length == 0) {
      text.invalidUtf8 = true;
      text.latin1.push_back(input[i]);
      ++i;
      continue;
    }
    if (value <= 0xFF) {
      text.latin1.push_back(static_cast<char>(value));
    } else {
      const char standIn = Latin1StandIn(value);
      if (!IsTypographicApostrophe(value)) text.replacedCharacters = true;
      text.latin1.push_back(standIn);
    }
    i += length;
  }
  text.sourceOffset.push_back(input.size());
  return text;
}

bool WordToLatin1(std::string_view utf8, std::string& latin1) {
  const EdgeText text = DecodeEdgeText(utf8);
  if (text.replacedCharacters) return false;
  latin1 = text.latin1;
  return true;
}

std::string Latin1ToUtf8Text(std::string_view latin1) {
  return Latin1ToUtf8(latin1);
}

std::string_view SourceSlice(std::string_view input, const EdgeText& text, size_t begin,
                             size_t end) {
  const size_t last = text.sourceOffset.empty() ? 0 : text.sourceOffset.size() - 1;
  begin = std::min(begin, last);
  end = std::clamp(end, begin, last);
  if (text.sourceOffset.empty()) return {};
  const size_t from = std::min(text.sourceOffset[begin], input.size());
  const size_t to = std::min(text.sourceOffset[end], input.size());
  return input.substr(from, to - from);
}

std::string SourceTextUtf8(std::string_view input, const EdgeText& text, size_t begin, size_t end) {
  std::string out;
  const size_t last = text.sourceOffset.empty() ? 0 : text.sourceOffset.size() - 1;
  end = std::min(end, last);
  for (size_t i = begin; i < end; ++i) {
    const std::string_view own = SourceSlice(input, text, i, i + 1);
    const bool readAsLatin1 = own.size() == 1 && static_cast<unsigned char>(own[0]) >= 0x80;
    out += readAsLatin1 ? Latin1ToUtf8(own) : std::string(own);
  }
  return out;
}

LineIndex IndexLines(std::string_view latin1) {
  LineIndex lines;
  lines.lineStarts.push_back(0);
  for (size_t i = 0; i < latin1.size(); ++i) {
    if (latin1[i] == '\n') lines.lineStarts.push_back(i + 1);
  }
  return lines;
}

TextPosition PositionOf(const LineIndex& lines, size_t offset) {
  TextPosition position;
  if (lines.lineStarts.empty()) {
    position.column = offset + 1;
    return position;
  }
  // The last line start at or before the offset.
  const auto after = std::upper_bound(lines.lineStarts.begin(), lines.lineStarts.end(), offset);
  const size_t index = static_cast<size_t>(after - lines.lineStarts.begin()) - 1;
  position.line = index + 1;
  position.column = offset - lines.lineStarts[index] + 1;
  return position;
}

}  // namespace orth::cli
