#include "lexcompiler/text_encoding.h"

namespace orth {

size_t DecodeUtf8Char(std::string_view text, uint32_t& value) {
  if (text.empty()) return 0;
  const unsigned char lead = static_cast<unsigned char>(text[0]);
  size_t extra = 0;
  uint32_t smallest = 0;
  uint32_t decoded = 0;
  if (lead < 0x80) {
    value = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    decoded = lead & 0x1F;
    extra = 1;
    smallest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    decoded = lead & 0x0F;
    extra = 2;
    smallest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    decoded = lead & 0x07;
    extra = 3;
    smallest = 0x10000;
  } else {
    return 0;
  }
  if (text.size() - 1 < extra) return 0;
  for (size_t k = 1; k <= extra; ++k) {
    const unsigned char next = static_cast<unsigned char>(text[k]);
    if ((next & 0xC0) != 0x80) return 0;
    decoded = (decoded << 6) | (next & 0x3F);
  }
  if (decoded < smallest) return 0;  // overlong
  if (decoded > 0x10FFFF || (decoded >= 0xD800 && decoded <= 0xDFFF)) return 0;
  value = decoded;
  return extra + 1;
}

Utf8Status Utf8ToLatin1(std::string_view text, std::string& out) {
  std::string result;
  result.reserve(text.size());
  bool beyondLatin1 = false;
  size_t i = 0;
  while (i < text.size()) {
    uint32_t value = 0;
    const size_t length = DecodeUtf8Char(text.substr(i), value);
    if (length == 0) return Utf8Status::Invalid;
    if (value > 0xFF) {
      beyondLatin1 = true;  // keep scanning: a later malformed byte wins
    } else {
      result.push_back(static_cast<char>(value));
    }
    i += length;
  }
  if (beyondLatin1) return Utf8Status::NotLatin1;
  out = std::move(result);
  return Utf8Status::Ok;
}

std::string Latin1ToUtf8(std::string_view text) {
  std::string result;
  result.reserve(text.size() + text.size() / 4);
  for (const char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      result.push_back(c);
    } else {
      result.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      result.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return result;
}

}  // namespace orth
