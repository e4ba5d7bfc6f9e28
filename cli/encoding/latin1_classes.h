// The engine's character classes of Latin-1 bytes, as the front end needs
// them to find words the way the engine does: a word starts at a letter and
// runs over letters, digits and apostrophes. The table must agree with the
// engine's byte for byte (a test compares them).
#pragma once

#include <array>
#include <cstdint>

namespace orth::cli {

inline constexpr uint8_t LATIN1_LETTER = 0x01;
inline constexpr uint8_t LATIN1_DIGIT = 0x02;
inline constexpr uint8_t LATIN1_PUNCT = 0x04;
inline constexpr uint8_t LATIN1_SPACE = 0x08;
inline constexpr uint8_t LATIN1_LOWER = 0x10;
inline constexpr uint8_t LATIN1_UPPER = 0x20;

namespace classes_detail {
constexpr std::array<uint8_t, 256> Build() {
  std::array<uint8_t, 256> t{};
  auto fill = [&t](int from, int to, uint8_t bits) {
    for (int c = from; c <= to; ++c) t[static_cast<size_t>(c)] = bits;
  };
  fill(0x09, 0x0A, LATIN1_SPACE);
  fill(0x0C, 0x0D, LATIN1_SPACE);
  fill(0x20, 0x20, LATIN1_SPACE);
  fill(0x21, 0x2F, LATIN1_PUNCT);
  fill(0x30, 0x39, LATIN1_DIGIT);
  fill(0x3A, 0x40, LATIN1_PUNCT);
  fill(0x41, 0x5A, LATIN1_LETTER | LATIN1_UPPER);
  fill(0x5B, 0x60, LATIN1_PUNCT);
  fill(0x61, 0x7A, LATIN1_LETTER | LATIN1_LOWER);
  fill(0x7B, 0x7E, LATIN1_PUNCT);
  fill(0xA0, 0xA0, LATIN1_SPACE);
  fill(0xA1, 0xBF, LATIN1_PUNCT);
  fill(0xC0, 0xCF, LATIN1_LETTER | LATIN1_UPPER);
  fill(0xD1, 0xD6, LATIN1_LETTER | LATIN1_UPPER);
  fill(0xD7, 0xD7, LATIN1_PUNCT);
  fill(0xD8, 0xDD, LATIN1_LETTER | LATIN1_UPPER);
  fill(0xDF, 0xEF, LATIN1_LETTER | LATIN1_LOWER);
  fill(0xF1, 0xF6, LATIN1_LETTER | LATIN1_LOWER);
  fill(0xF8, 0xFD, LATIN1_LETTER | LATIN1_LOWER);
  fill(0xFF, 0xFF, LATIN1_LETTER | LATIN1_LOWER);
  return t;  // Ð, Þ, ð, þ, ÷ and 0x7F-0x9F have no class.
}
}  // namespace classes_detail

inline constexpr std::array<uint8_t, 256> LATIN1_CLASS = classes_detail::Build();

inline uint8_t ClassOf(char c) {
  return LATIN1_CLASS[static_cast<unsigned char>(c)];
}
inline bool IsLetter(char c) {
  return (ClassOf(c) & LATIN1_LETTER) != 0;
}
inline bool IsUpper(char c) {
  return (ClassOf(c) & LATIN1_UPPER) != 0;
}
inline bool IsLower(char c) {
  return (ClassOf(c) & LATIN1_LOWER) != 0;
}
inline bool IsDigit(char c) {
  return (ClassOf(c) & LATIN1_DIGIT) != 0;
}
inline bool IsSpace(char c) {
  return (ClassOf(c) & LATIN1_SPACE) != 0;
}
inline bool IsPunct(char c) {
  return (ClassOf(c) & LATIN1_PUNCT) != 0;
}
// A character that continues a word once it has started.
inline bool ContinuesWord(char c) {
  return (ClassOf(c) & (LATIN1_LETTER | LATIN1_DIGIT)) != 0 || c == '\'';
}
// The engine's lower case: +32 for the upper-case letters.
inline char ToLower(char c) {
  return IsUpper(c) ? static_cast<char>(c + 32) : c;
}

}  // namespace orth::cli
