// The misspelling model of the ranked suggester: what each kind of typing or
// spelling slip costs, and the weighted edit distance (insertions, deletions,
// substitutions and swaps of neighbouring letters) it gives between a
// dictionary word and what was typed.
//
// Costs are in hundredths of one plain edit. The distance is asymmetric: a
// letter the writer left out is costed by the dictionary word's letters, one
// the writer added by the typed word's.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "orth.h"

namespace orth {

struct EditCosts {
  uint16_t plain = 100;        // any edit not named below
  uint16_t accent = 10;        // a letter for another of the same base letter (e for é)
  uint16_t vowel = 90;         // one vowel for another
  uint16_t keyboard = 70;      // a letter for its neighbour on the keyboard
  uint16_t sound = 40;         // letters that often spell one sound (c k s q, s z, i y, g j, m n)
  uint16_t doubled = 50;       // a doubled letter typed once, or a letter typed twice
  uint16_t missingVowel = 50;  // a vowel left out
  uint16_t strayKey = 80;      // an added letter next on the keyboard to a neighbouring one
  uint16_t transpose = 50;     // two neighbouring letters swapped
  uint16_t firstLetter = 40;   // added to any edit at the first letter
};

// Costs with the tables derived from them.
struct EditModel {
  EditCosts costs;
  // Cost of typing the second byte where the dictionary word has the first;
  // 0 on the diagonal.
  std::array<uint16_t, 256 * 256> substitute{};
  // What leaving out each byte costs, unless it doubles the letter before.
  std::array<uint16_t, 256> missing{};
};

void BuildEditModel(const EditCosts& costs, EditModel& model);

// The model of the default costs, built on first use.
const EditModel& DefaultEditModel();

// Whether two lower-case letters a-z are neighbours on a QWERTY keyboard.
bool AreKeyboardNeighbours(unsigned char a, unsigned char b);

// The typed word prepared for distance rows: its bytes and what each of its
// letters costs when it is one the writer added.
struct TypedWord {
  unsigned char chars[WORD_MAX + 2] = {};
  uint32_t length = 0;
  uint16_t extraCost[WORD_MAX + 1] = {};  // [j]: typed letter j - 1 was added; [0] unused
  // For each byte, bit j set when typed letter j - 1 is that byte: where a
  // swap of two dictionary letters can match.
  uint32_t positions[256] = {};
  // What a typed letter costs at least when the dictionary word has no
  // letter of its kind left (it was added, or replaced by another letter),
  // and where each kind of letter (by its RankLetterBit) is typed: together
  // they bound what a prefix of the letter tree can still reach.
  uint16_t absentCost = 0;
  uint32_t letterBits = 0;            // the kinds of letter typed
  uint32_t positionsOfKind[32] = {};  // bit j: typed letter j - 1 is of that kind
};

// Prepares a normalised word of at most WORD_MAX characters (longer is cut).
void PrepareTypedWord(const EditModel& model, const char* typed, TypedWord& out);

// Distance rows: row d holds the distance of the first d letters of a
// dictionary word from each prefix of the typed word.
inline constexpr uint32_t EDIT_ROW_SIZE = WORD_MAX + 2;
inline constexpr uint16_t EDIT_COST_LIMIT = 60000;  // distances saturate here
using EditRows = uint16_t[EDIT_ROW_SIZE][EDIT_ROW_SIZE];

// Fills row 0 (the empty dictionary prefix).
void FillFirstEditRow(const TypedWord& typed, EditRows& rows);

// Fills row d (1..WORD_MAX + 1) from rows d - 1 and d - 2, for a dictionary
// word whose first d letters are word[0..d). Returns the row's smallest
// value.
uint16_t FillEditRow(const EditModel& model, const TypedWord& typed, const unsigned char* word,
                     uint32_t d, EditRows& rows);

// The whole distance of a dictionary word (length letters) from the typed
// word, saturating at EDIT_COST_LIMIT. Words over WORD_MAX letters count as
// cut there.
uint16_t EditDistance(const EditModel& model, const TypedWord& typed, const unsigned char* word,
                      size_t length);

}  // namespace orth
