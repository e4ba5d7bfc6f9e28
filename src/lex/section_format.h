// The compressed lexicon file format: header, short-word table, section
// directory and the packed word stream of a section.
//
// Everything a reader or a writer of the format needs is here. All multi-byte
// numbers in the file are little-endian.
//
// File layout, one region right after the other:
//   header            at 0, COMPRESSED_HEADER_SIZE bytes
//   short-word table  at COMPRESSED_HEADER_SIZE, SHORT_WORD_ENTRY_SIZE x count
//   section directory after the table, DIRECTORY_ENTRY_SIZE x section count
//   section data      anywhere after the directory, at the directory's offsets
//
// Section data is a sequence of records, back to back. A record is a 4-byte
// header (16-bit length of the units that follow, the third letter of every
// word of the record, one reserved byte) and length / 2 units of 16 bits. A
// unit holds three 5-bit codes (bits 0..4, 5..9, 10..14; bit 15 is 0). The
// first word of a record is spelled in full after its three fixed letters;
// each later word starts with CODE_RESUME (the whole previous word) or
// CODE_SKIP n (the previous word's first 3 + n characters) or neither (just
// the three fixed letters), then adds letters, accents and tokens, then
// CODE_END. The record's last unit is filled up with CODE_END.
//
// Order a section must have (the exact lookup stops early): records ascend by
// their third-letter byte (unsigned); words of one third letter ascend by
// letter code at their first difference, a word before its own extensions.
#pragma once

#include <array>
#include <cstdint>

#include "text/char_table.h"

namespace orth {

// ---- Header -----------------------------------------------------------------

inline constexpr uint32_t COMPRESSED_LEX_MAGIC = 0x1E000006;  // bytes 06 00 00 1E
inline constexpr uint32_t COMPRESSED_HEADER_SIZE = 682;

inline constexpr uint32_t HEADER_RESERVED_SIZE = 256;            // bytes 0..255, never read
inline constexpr uint32_t HEADER_MAGIC_OFFSET = 256;             // u32
inline constexpr uint32_t HEADER_SHORT_WORD_COUNT_OFFSET = 260;  // u16, below 440
inline constexpr uint32_t HEADER_SECTION_COUNT_OFFSET = 262;     // u16
inline constexpr uint32_t HEADER_LANGUAGE_OFFSET = 264;          // u16
inline constexpr uint32_t TOKEN_AREA_OFFSET = 266;               // NUL-terminated strings, packed
inline constexpr uint32_t TOKEN_AREA_SIZE = 416;                 // up to offset 682

// Tokens: up to 32 strings in the token area, token n being the n-th string
// (empty strings count). A token longer than TOKEN_MAX is cut when read.
inline constexpr int MAX_TOKENS = 32;
inline constexpr int TOKEN_MAX = 12;
inline constexpr int TOKEN_SLOT_SIZE = TOKEN_MAX + 1;  // with the NUL
static_assert(MAX_TOKENS * TOKEN_SLOT_SIZE == TOKEN_AREA_SIZE);
static_assert(TOKEN_AREA_OFFSET + TOKEN_AREA_SIZE == COMPRESSED_HEADER_SIZE);

// ---- Short-word table ---------------------------------------------------------

// Each entry is a word of one or two characters: first byte, second byte (0
// for a one-letter word). Entries ascend by CompareShortWords.
inline constexpr uint32_t MAX_SHORT_WORDS = 439;  // a count of 440 or more is refused
inline constexpr uint32_t SHORT_WORD_ENTRY_SIZE = 2;

// ---- Section directory --------------------------------------------------------

inline constexpr uint32_t DIRECTORY_ENTRY_SIZE = 8;
inline constexpr uint32_t DIRECTORY_OFFSET_FIELD = 0;         // u32 data offset from file start
inline constexpr uint32_t DIRECTORY_SIZE_FIELD = 4;           // u16 data size, 0 = empty
inline constexpr uint32_t DIRECTORY_FIRST_LETTER_FIELD = 6;   // byte
inline constexpr uint32_t DIRECTORY_SECOND_LETTER_FIELD = 7;  // byte
inline constexpr uint32_t MAX_SECTION_SIZE = 65535;

// The SectionIndex: 55 x 55 positions by the letter codes of a word's first
// two characters.
inline constexpr int32_t SECTION_INDEX_WIDTH = 55;
inline constexpr int32_t SECTION_INDEX_SIZE = SECTION_INDEX_WIDTH * SECTION_INDEX_WIDTH;  // 3025

// The position of the section of a pair of first letters: 55 x LetterCode of
// the first + LetterCode of the second. Not always inside the index: ÿ (55)
// and ß (56) as a first letter, or a character without a letter code (-1),
// can give a position below 0 or above 3024; ÿ and ß as a second letter land
// on the next row's first two columns.
inline constexpr int32_t SectionPosition(unsigned char first, unsigned char second) {
  return SECTION_INDEX_WIDTH * LetterCode[first] + LetterCode[second];
}

inline constexpr bool IsSectionPosition(int32_t position) {
  return position >= 0 && position < SECTION_INDEX_SIZE;
}

// ---- Section records ----------------------------------------------------------

inline constexpr uint32_t RECORD_HEADER_SIZE = 4;
inline constexpr uint32_t RECORD_LENGTH_FIELD = 0;        // u16 bytes of units that follow
inline constexpr uint32_t RECORD_THIRD_LETTER_FIELD = 2;  // byte
inline constexpr uint32_t RECORD_RESERVED_FIELD = 3;      // byte, never read
inline constexpr uint32_t UNIT_SIZE = 2;
inline constexpr int CODES_PER_UNIT = 3;
inline constexpr int CODE_BITS = 5;
inline constexpr uint16_t CODE_MASK = 0x1F;

// Codes 0..26 append DecodeLetters[code]; the others are commands. An
// argument is the next code of the stream (possibly in the next unit) and is
// a number 0..31, never a command.
inline constexpr uint8_t CODE_LAST_LETTER = 26;
inline constexpr uint8_t CODE_SKIP = 27;    // n: keep n more characters of the previous word
inline constexpr uint8_t CODE_TOKEN = 28;   // n: append token string n
inline constexpr uint8_t CODE_RESUME = 29;  // continue after the whole previous word
inline constexpr uint8_t CODE_ACCENT = 30;  // n: append DecodeAccents[n]
inline constexpr uint8_t CODE_END = 31;     // the word is complete

// The number of characters every word of a section starts with (two section
// letters and the record's third letter).
inline constexpr int SECTION_PREFIX_LENGTH = 3;
// Longest word a section can hold; the decoder's buffer has one more byte.
inline constexpr int DECODED_WORD_MAX = 31;

// The characters of the letter codes 0..26; 27..31 are commands, never looked up.
inline constexpr std::array<unsigned char, 32> DecodeLetters = {
    '\'', 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n', 'o',
    'p',  'q', 'r', 's', 't', 'u', 'v', 'w', 'x', 'y', 'z', ' ', ' ', ' ', ' ', ' '};

// The lower-case accented letters in ascending byte order, without ð, ÷ and
// þ; entries 30 and 31 are zero bytes that a writer never uses.
inline constexpr std::array<unsigned char, 32> DecodeAccents = {
    0xDF, 0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xEB, 0xEC, 0xED, 0xEE,
    0xEF, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFF, 0x00, 0x00};

// The letter code (0..26) of a byte the stream spells as a letter, or -1.
inline constexpr int32_t LetterStreamCode(unsigned char c) {
  if (c == '\'') return 0;
  if (c >= 'a' && c <= 'z') return c - 'a' + 1;
  return -1;
}

// The accent number (0..29) of a byte the stream spells as an accent, or -1.
inline constexpr int32_t AccentStreamCode(unsigned char c) {
  for (int32_t n = 0; n < 30; ++n) {
    if (DecodeAccents[n] == c) return n;
  }
  return -1;
}

// ---- Little-endian fields -----------------------------------------------------

inline constexpr uint16_t ReadLe16(const unsigned char* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline constexpr uint32_t ReadLe32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

inline constexpr void WriteLe16(unsigned char* p, uint16_t value) {
  p[0] = static_cast<unsigned char>(value & 0xFF);
  p[1] = static_cast<unsigned char>(value >> 8);
}

inline constexpr void WriteLe32(unsigned char* p, uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>((value >> (8 * i)) & 0xFF);
}

// A unit of three codes, the first in the lowest bits.
inline constexpr uint16_t PackUnit(uint8_t first, uint8_t second, uint8_t third) {
  return static_cast<uint16_t>((first & CODE_MASK) | ((second & CODE_MASK) << CODE_BITS) |
                               ((third & CODE_MASK) << (2 * CODE_BITS)));
}

// Code i (0..2) of a unit.
inline constexpr uint8_t UnitCode(uint16_t unit, int i) {
  return static_cast<uint8_t>((unit >> (CODE_BITS * i)) & CODE_MASK);
}

}  // namespace orth
