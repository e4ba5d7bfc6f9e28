// Character classes, letter codes, folding, case and the caseless order.
#include <gtest/gtest.h>

#include <cstdint>

#include "encoding/latin1_classes.h"
#include "text/char_table.h"

namespace orth {
namespace {

TEST(CharTable, ClassesOfRangeRows) {
  struct Row {
    int from, to;
    uint8_t bits;
  };
  const Row rows[] = {
      {0x00, 0x08, 0},    {0x09, 0x0A, 0x08}, {0x0B, 0x0B, 0},    {0x0C, 0x0D, 0x08},
      {0x0E, 0x1F, 0},    {0x20, 0x20, 0x08}, {0x21, 0x2F, 0x04}, {0x30, 0x39, 0x02},
      {0x3A, 0x40, 0x04}, {0x41, 0x5A, 0x21}, {0x5B, 0x60, 0x04}, {0x61, 0x7A, 0x11},
      {0x7B, 0x7E, 0x04}, {0x7F, 0x9F, 0},    {0xA0, 0xA0, 0x08}, {0xA1, 0xBF, 0x04},
      {0xC0, 0xCF, 0x21}, {0xD0, 0xD0, 0},    {0xD1, 0xD6, 0x21}, {0xD7, 0xD7, 0x04},
      {0xD8, 0xDD, 0x21}, {0xDE, 0xDE, 0},    {0xDF, 0xEF, 0x11}, {0xF0, 0xF0, 0},
      {0xF1, 0xF6, 0x11}, {0xF7, 0xF7, 0},    {0xF8, 0xFD, 0x11}, {0xFE, 0xFE, 0},
      {0xFF, 0xFF, 0x11},
  };
  int covered = 0;
  for (const Row& row : rows) {
    for (int c = row.from; c <= row.to; ++c, ++covered) {
      EXPECT_EQ(CharClass[c], row.bits) << "byte 0x" << std::hex << c;
    }
  }
  EXPECT_EQ(covered, 256);
}

TEST(CharTable, LetterCodesAndFolding) {
  struct Row {
    unsigned char byte;
    int32_t code;
    int32_t folded;  // ignored for non-letters
  };
  const Row rows[] = {
      {'\'', 0, 0},   {'A', 1, 1},    {'a', 1, 1},    {'z', 26, 26},  {'Z', 26, 26},
      {0xC0, 27, 1},  {0xE0, 27, 1},  {0xE6, 33, 1},  {0xE7, 34, 3},  {0xE9, 36, 5},
      {0xEF, 42, 9},  {0xF1, 43, 14}, {0xD6, 48, 15}, {0xF8, 49, 15}, {0xF9, 50, 21},
      {0xFC, 53, 21}, {0xDD, 54, 25}, {0xFD, 54, 25}, {0xFF, 55, 25}, {0xDF, 56, 56},
      {'y', 25, 25},  {0xD0, -1, 0},  {0xD7, -1, 0},  {'0', -1, 0},   {'-', -1, 0},
      {0x92, -1, 0},  {0xF7, -1, 0},  {0xFE, -1, 0},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(LetterCodeOf(row.byte), row.code) << "byte 0x" << std::hex << int{row.byte};
    if (row.code >= 0) {
      EXPECT_EQ(FoldLetterCode(row.code), row.folded) << "code " << row.code;
    }
  }
  // Every letter has a code and every code but the apostrophe's is a letter's.
  for (int c = 0; c < 256; ++c) {
    EXPECT_EQ(IsLetter(c), LetterCode[c] > 0) << "byte " << c;
  }
}

TEST(CharTable, Vowels) {
  for (int32_t code = 0; code < LETTER_CODE_COUNT; ++code) {
    const int32_t base = FoldTable[code];
    const bool vowel = base == 1 || base == 5 || base == 9 || base == 15 || base == 21;
    EXPECT_EQ(IsVowelCode(code), vowel) << "code " << code;
  }
  EXPECT_FALSE(IsVowelCode(LetterCodeOf('y')));
  EXPECT_FALSE(IsVowelCode(LetterCodeOf(0xFF)));
  EXPECT_TRUE(IsVowelCode(LetterCodeOf(0xF8)));  // ø
}

TEST(CharTable, CaseConversion) {
  struct Row {
    unsigned char in, lower, upper;
  };
  const Row rows[] = {
      {'A', 'a', 'A'},    {'a', 'a', 'A'},    {'1', '1', '1'},    {0xC9, 0xE9, 0xC9},
      {0xE9, 0xE9, 0xC9}, {0xDF, 0xDF, 0xDF}, {0xFF, 0xFF, 0xFF}, {0xD0, 0xD0, 0xD0},
      {0xF0, 0xF0, 0xF0}, {0xD7, 0xD7, 0xD7}, {0xF7, 0xF7, 0xF7}, {'\'', '\'', '\''},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ToLowerChar(row.in), row.lower) << "byte 0x" << std::hex << int{row.in};
    EXPECT_EQ(ToUpperChar(row.in), row.upper) << "byte 0x" << std::hex << int{row.in};
  }
  // Lower-casing then upper-casing restores every capital.
  for (int c = 0; c < 256; ++c) {
    if (IsUpper(c)) {
      EXPECT_EQ(ToUpperChar(ToLowerChar(c)), c);
    }
  }
}

int Sign(int32_t v) {
  return (v > 0) - (v < 0);
}

TEST(CharTable, CaselessComparison) {
  struct Row {
    const char* a;
    const char* b;
    int sign;
  };
  const Row rows[] = {
      {"Apple", "apple", 0},
      {"apple", "apples", -1},
      {"Zebra", "apple", 1},
      {"\xC0", "\xE0", 0},
      {"\xE0", "a", 1},
      {"a'b", "aab", -1},
      {"", "a", -1},
      {"", "", 0},
      {"a1", "aa", -1},
      {"a[", "aA", -1},
      {"\xE9t\xE9", "\xC9T\xC9", 0},
      {"abc", "ABD", -1},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Sign(CompareCaseless(row.a, row.b)), row.sign) << row.a << " vs " << row.b;
    EXPECT_EQ(Sign(CompareCaseless(row.b, row.a)), -row.sign) << row.b << " vs " << row.a;
  }
  EXPECT_EQ(CompareCaseless("apple", "apples"), 0 - 's');
}

}  // namespace
}  // namespace orth

// orthspell finds words in the engine's way with its own copy of the class
// table (it may use only the public header): the two must agree.
TEST(CharTable, TheFrontEndsCopyAgrees) {
  for (int c = 0; c < 256; ++c) {
    EXPECT_EQ(orth::cli::LATIN1_CLASS[static_cast<size_t>(c)],
              orth::CharClass[static_cast<size_t>(c)])
        << c;
  }
}
