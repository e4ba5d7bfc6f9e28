#include "document/html_entities.h"

#include <algorithm>
#include <iterator>

namespace orth::cli {

namespace {

struct NamedEntity {
  std::string_view name;  // without its ';'
  char32_t first;
  char32_t second;  // 0 for names that stand for one character
};

#include "document/html_entity_table.inc"

constexpr size_t kLongestName = 31;

// What the C1 controls &#128; to &#159; mean: HTML reads them as windows-1252,
// as old pages written on Windows expect. 0 leaves the number as it is.
constexpr char16_t kWindows1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

bool IsAsciiAlnum(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

const NamedEntity* FindNamed(std::string_view name) {
  const auto* found = std::lower_bound(
      std::begin(kNamedEntities), std::end(kNamedEntities), name,
      [](const NamedEntity& entity, std::string_view key) { return entity.name < key; });
  return found != std::end(kNamedEntities) && found->name == name ? found : nullptr;
}

void SetDecoded(HtmlEntity& entity, size_t length, char32_t first, char32_t second) {
  entity.kind = HtmlEntity::DECODED;
  entity.length = length;
  entity.size = static_cast<uint8_t>(EncodeUtf8(first, entity.utf8));
  if (second != 0)
    entity.size += static_cast<uint8_t>(EncodeUtf8(second, entity.utf8 + entity.size));
}

HtmlEntity ReadNumeric(std::string_view text) {
  HtmlEntity entity;
  size_t i = 2;  // after "&#"
  const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
  if (hex) ++i;
  const size_t digitsStart = i;
  char32_t value = 0;
  for (; i < text.size(); ++i) {
    const int digit =
        hex ? HexValue(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (digit < 0) break;
    // Saturate: any number past the last code point means U+FFFD.
    value = std::min<char32_t>(value * (hex ? 16 : 10) + static_cast<char32_t>(digit), 0x110000);
  }
  if (i == digitsStart) return entity;  // "&#;" and "&#x" are plain text
  if (i < text.size() && text[i] == ';') ++i;
  if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    value = 0xFFFD;
  } else if (value >= 0x80 && value <= 0x9F && kWindows1252[value - 0x80] != 0) {
    value = kWindows1252[value - 0x80];
  }
  SetDecoded(entity, i, value, 0);
  return entity;
}

}  // namespace

size_t EncodeUtf8(char32_t c, char* out) {
  if (c < 0x80) {
    out[0] = static_cast<char>(c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = static_cast<char>(0xC0 | (c >> 6));
    out[1] = static_cast<char>(0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (c >> 12));
    out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (c & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (c >> 18));
  out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (c & 0x3F));
  return 4;
}

HtmlEntity ReadHtmlEntity(std::string_view text, bool inAttribute) {
  if (text.size() < 2 || text[0] != '&') return {};
  if (text[1] == '#') return ReadNumeric(text);
  size_t end = 1;
  while (end < text.size() && end <= kLongestName && IsAsciiAlnum(text[end])) ++end;
  const std::string_view name = text.substr(1, end - 1);
  if (name.empty()) return {};
  HtmlEntity entity;
  const bool terminated = end < text.size() && text[end] == ';';
  if (terminated) {
    if (const NamedEntity* found = FindNamed(name)) {
      SetDecoded(entity, end + 1, found->first, found->second);
      return entity;
    }
  }
  // The longest of the old names that begins the run ("&notit;" is "¬it;").
  for (size_t length = std::min<size_t>(name.size(), 6); length >= 2; --length) {
    const std::string_view prefix = name.substr(0, length);
    if (!std::binary_search(std::begin(kLegacyNames), std::end(kLegacyNames), prefix)) continue;
    const char next = 1 + length < text.size() ? text[1 + length] : '\0';
    if (next != ';' && inAttribute && (next == '=' || IsAsciiAlnum(next))) return {};
    const NamedEntity* found = FindNamed(prefix);
    if (found == nullptr) break;
    SetDecoded(entity, 1 + length, found->first, found->second);
    return entity;
  }
  if (terminated) {
    entity.kind = HtmlEntity::UNKNOWN;
    entity.length = end + 1;
  }
  return entity;
}

}  // namespace orth::cli
