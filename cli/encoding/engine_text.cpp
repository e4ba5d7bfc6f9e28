#include "encoding/engine_text.h"

#include <algorithm>

#include "lexcompiler/text_encoding.h"

namespace orth::cli {

namespace {

constexpr char APOSTROPHE_BYTE = 39;

bool IsTypographicApostrophe(uint32_t codePoint) {
  return codePoint == 0x2019 || codePoint == 0x2018 || codePoint == 0x02BC;
}

}  // namespace

char EngineByteOf(uint32_t codePoint) {
  if (codePoint < 0x100) return static_cast<char>(codePoint);
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

const char* LigatureLetters(uint32_t character) {
  if (character == 0x153) return "oe";
  if (character == 0x152) return "OE";
  return nullptr;
}

void AppendEngineChar(std::string& engine, uint32_t character) {
  if (const char* letters = LigatureLetters(character)) {
    engine += letters;
  } else {
    engine.push_back(EngineByteOf(character));
  }
}

void AppendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    uint32_t c = 0;
    const std::size_t length = DecodeUtf8Char(text.substr(i), c);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

bool WordToLatin1(std::string_view utf8, std::string& latin1) {
  latin1.clear();
  for (std::size_t i = 0; i < utf8.size();) {
    uint32_t c = static_cast<unsigned char>(utf8[i]);
    std::size_t length = DecodeUtf8Char(utf8.substr(i), c);
    if (length == 0) {
      c = static_cast<unsigned char>(utf8[i]);
      length = 1;
    }
    if (c >= 0x100 && !IsTypographicApostrophe(c) && LigatureLetters(c) == nullptr) return false;
    AppendEngineChar(latin1, c);
    i += length;
  }
  return true;
}

std::string Latin1ToUtf8Text(std::string_view latin1) {
  return Latin1ToUtf8(latin1);
}

std::string WellFormedUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    uint32_t c = 0;
    const std::size_t length = DecodeUtf8Char(bytes.substr(i), c);
    if (length == 0) {
      AppendUtf8(out, static_cast<unsigned char>(bytes[i]));
      ++i;
    } else {
      out.append(bytes.substr(i, length));
      i += length;
    }
  }
  return out;
}

MappedText MakeMappedText(std::string_view bytes, bool latin1) {
  MappedText text;
  text.utf8 = !latin1 && IsValidUtf8(bytes);
  text.engine.reserve(bytes.size());
  text.chars.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    uint32_t c = static_cast<unsigned char>(bytes[i]);
    const std::size_t length = text.utf8 ? DecodeUtf8Char(bytes.substr(i), c) : 1;
    text.engine.push_back(EngineByteOf(c));
    text.chars.push_back(c);
    i += length;
  }
  return text;
}

std::string EncodeMappedText(const MappedText& text, std::size_t begin, std::size_t end) {
  std::string out;
  end = std::min(end, text.chars.size());
  for (std::size_t i = begin; i < end; ++i) {
    const uint32_t c = text.chars[i];
    if (text.utf8) {
      AppendUtf8(out, c);
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  return out;
}

}  // namespace orth::cli
