#include "lexcompiler/text_encoding.h"

#include <cstdint>

namespace orth {

Utf8Status Utf8ToLatin1(std::string_view text, std::string& out) {
  std::string result;
  result.reserve(text.size());
  bool beyondLatin1 = false;
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    uint32_t value = 0;
    size_t extra = 0;
    uint32_t smallest = 0;
    if (lead < 0x80) {
      value = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      value = lead & 0x1F;
      extra = 1;
      smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      value = lead & 0x0F;
      extra = 2;
      smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      value = lead & 0x07;
      extra = 3;
      smallest = 0x10000;
    } else {
      return Utf8Status::Invalid;
    }
    if (text.size() - i - 1 < extra) return Utf8Status::Invalid;
    for (size_t k = 1; k <= extra; ++k) {
      const unsigned char next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return Utf8Status::Invalid;
      value = (value << 6) | (next & 0x3F);
    }
    if (extra > 0 && value < smallest) return Utf8Status::Invalid;  // overlong
    if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return Utf8Status::Invalid;
    if (value > 0xFF) {
      beyondLatin1 = true;  // keep scanning: a later malformed byte wins
    } else {
      result.push_back(static_cast<char>(value));
    }
    i += extra + 1;
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
