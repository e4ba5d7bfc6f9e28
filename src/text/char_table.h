// Character classes, letter codes, folding and case for Latin-1 text.
//
// Every decision about letters, case, word boundaries and letter numbering in
// the engine goes through these three constant tables; the locale is never
// consulted. Bytes index the tables as unsigned values 0..255.
#pragma once

#include <array>
#include <cstdint>

namespace orth {

// Class bits of CharClass.
inline constexpr uint8_t CC_LETTER = 0x01;
inline constexpr uint8_t CC_DIGIT = 0x02;
inline constexpr uint8_t CC_PUNCT = 0x04;
inline constexpr uint8_t CC_SPACE = 0x08;
inline constexpr uint8_t CC_LOWER = 0x10;
inline constexpr uint8_t CC_UPPER = 0x20;

// The apostrophe is punctuation by class, but word rules treat it by value.
inline constexpr unsigned char APOSTROPHE = 39;

// Number of letter codes: ' a-z à-ï ñ-ö ø-ý ÿ ß.
inline constexpr int LETTER_CODE_COUNT = 57;

namespace table_detail {
constexpr std::array<uint8_t, 256> BuildCharClass() {
  std::array<uint8_t, 256> t{};
  auto fill = [&t](int from, int to, uint8_t bits) {
    for (int c = from; c <= to; ++c) t[c] = bits;
  };
  fill(0x09, 0x0A, CC_SPACE);
  fill(0x0C, 0x0D, CC_SPACE);
  fill(0x20, 0x20, CC_SPACE);
  fill(0x21, 0x2F, CC_PUNCT);
  fill(0x30, 0x39, CC_DIGIT);
  fill(0x3A, 0x40, CC_PUNCT);
  fill(0x41, 0x5A, CC_LETTER | CC_UPPER);
  fill(0x5B, 0x60, CC_PUNCT);
  fill(0x61, 0x7A, CC_LETTER | CC_LOWER);
  fill(0x7B, 0x7E, CC_PUNCT);
  fill(0xA0, 0xA0, CC_SPACE);
  fill(0xA1, 0xBF, CC_PUNCT);
  fill(0xC0, 0xCF, CC_LETTER | CC_UPPER);
  fill(0xD1, 0xD6, CC_LETTER | CC_UPPER);
  fill(0xD7, 0xD7, CC_PUNCT);
  fill(0xD8, 0xDD, CC_LETTER | CC_UPPER);
  fill(0xDF, 0xEF, CC_LETTER | CC_LOWER);
  fill(0xF1, 0xF6, CC_LETTER | CC_LOWER);
  fill(0xF8, 0xFD, CC_LETTER | CC_LOWER);
  fill(0xFF, 0xFF, CC_LETTER | CC_LOWER);
  return t;  // Ð, Þ, ð, þ, ÷ and 0x7F-0x9F stay without a class.
}

constexpr std::array<int32_t, 256> BuildLetterCode() {
  std::array<int32_t, 256> t{};
  for (auto& code : t) code = -1;
  auto both = [&t](int upper_from, int upper_to, int32_t first_code) {
    for (int c = upper_from; c <= upper_to; ++c) {
      t[c] = first_code + (c - upper_from);
      t[c + 32] = first_code + (c - upper_from);
    }
  };
  t[APOSTROPHE] = 0;
  both(0x41, 0x5A, 1);   // a-z: 1-26
  both(0xC0, 0xCF, 27);  // à-ï: 27-42
  both(0xD1, 0xD6, 43);  // ñ-ö: 43-48
  both(0xD8, 0xDD, 49);  // ø-ý: 49-54
  t[0xFF] = 55;          // ÿ
  t[0xDF] = 56;          // ß
  return t;
}

constexpr std::array<int32_t, LETTER_CODE_COUNT> BuildFoldTable() {
  std::array<int32_t, LETTER_CODE_COUNT> t{};
  for (int32_t code = 0; code <= 26; ++code) t[code] = code;
  auto fill = [&t](int from, int to, int32_t base) {
    for (int code = from; code <= to; ++code) t[code] = base;
  };
  fill(27, 33, 1);   // à á â ã ä å æ
  fill(34, 34, 3);   // ç
  fill(35, 38, 5);   // è é ê ë
  fill(39, 42, 9);   // ì í î ï
  fill(43, 43, 14);  // ñ
  fill(44, 49, 15);  // ò ó ô õ ö ø
  fill(50, 53, 21);  // ù ú û ü
  fill(54, 55, 25);  // ý ÿ
  fill(56, 56, 56);  // ß
  return t;
}

}  // namespace table_detail

// CharClass: the class bits of every byte.
inline constexpr std::array<uint8_t, 256> CharClass = table_detail::BuildCharClass();
// LetterCode: 0..56 for the characters that occur inside words, -1 otherwise.
inline constexpr std::array<int32_t, 256> LetterCode = table_detail::BuildLetterCode();
// FoldTable: for each letter code, the code of its unaccented base letter.
inline constexpr std::array<int32_t, LETTER_CODE_COUNT> FoldTable = table_detail::BuildFoldTable();

inline uint8_t ClassOf(unsigned char c) {
  return CharClass[c];
}
inline bool IsLetter(unsigned char c) {
  return (CharClass[c] & CC_LETTER) != 0;
}
inline bool IsDigit(unsigned char c) {
  return (CharClass[c] & CC_DIGIT) != 0;
}
inline bool IsPunct(unsigned char c) {
  return (CharClass[c] & CC_PUNCT) != 0;
}
inline bool IsSpace(unsigned char c) {
  return (CharClass[c] & CC_SPACE) != 0;
}
inline bool IsLower(unsigned char c) {
  return (CharClass[c] & CC_LOWER) != 0;
}
inline bool IsUpper(unsigned char c) {
  return (CharClass[c] & CC_UPPER) != 0;
}

// A byte that may continue a word: a letter, a digit or the apostrophe.
inline bool IsWordChar(unsigned char c) {
  return (CharClass[c] & (CC_LETTER | CC_DIGIT)) != 0 || c == APOSTROPHE;
}

// Lower-casing is +32 under the upper-case bit, exact for every capital.
inline unsigned char ToLowerChar(unsigned char c) {
  return IsUpper(c) ? static_cast<unsigned char>(c + 32) : c;
}

// Upper-casing is -32 under the lower-case bit, except for ß and ÿ, which have
// no capital in Latin-1 and stay as they are (-32 would make ¿ and ß of them).
inline unsigned char ToUpperChar(unsigned char c) {
  if (!IsLower(c) || c == 0xDF || c == 0xFF) return c;
  return static_cast<unsigned char>(c - 32);
}

// The letter code 0..56 of a byte, or -1 for a byte that is not a word letter.
inline int32_t LetterCodeOf(unsigned char c) {
  return LetterCode[c];
}

// The unaccented base letter's code of a letter code 0..56.
inline int32_t FoldLetterCode(int32_t code) {
  return FoldTable[code];
}

// a, e, i, o, u and their accented forms (y and ÿ are not vowels).
inline bool IsVowelCode(int32_t code) {
  const int32_t base = FoldTable[code];
  return base == 1 || base == 5 || base == 9 || base == 15 || base == 21;
}

// Caseless order: strings compare by their lower-cased unsigned bytes. Callers
// rely on the sign and on 0 for equality only.
int32_t CompareCaseless(const char* a, const char* b);

}  // namespace orth
