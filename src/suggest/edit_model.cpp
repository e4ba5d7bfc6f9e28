#include "suggest/edit_model.h"

#include <algorithm>

#include "suggest/rank_index.h"
#include "text/char_table.h"

namespace orth {

namespace {

// QWERTY rows and how far each is shifted to the right, in quarter keys.
constexpr const char* KEY_ROWS[] = {"qwertyuiop", "asdfghjkl", "zxcvbnm"};
constexpr int KEY_ROW_SHIFT[] = {0, 1, 3};

struct KeyPlace {
  int row = -1;
  int quarter = 0;  // horizontal position in quarter keys
};

constexpr std::array<KeyPlace, 26> BuildKeyPlaces() {
  std::array<KeyPlace, 26> places{};
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; KEY_ROWS[row][col] != '\0'; ++col) {
      places[KEY_ROWS[row][col] - 'a'] = {row, 4 * col + KEY_ROW_SHIFT[row]};
    }
  }
  return places;
}

constexpr std::array<KeyPlace, 26> KEY_PLACES = BuildKeyPlaces();

// Pairs of letters that often spell the same sound.
constexpr const char* SOUND_PAIRS[] = {"ck", "cs", "kq", "cq", "sz", "iy", "gj", "mn"};

bool IsSoundPair(unsigned char a, unsigned char b) {
  for (const char* pair : SOUND_PAIRS) {
    if ((a == pair[0] && b == pair[1]) || (a == pair[1] && b == pair[0])) return true;
  }
  return false;
}

bool IsVowelByte(unsigned char c) {
  const int32_t code = LetterCodeOf(c);
  return code >= 0 && IsVowelCode(code);
}

uint16_t SubstitutionCost(const EditCosts& costs, unsigned char want, unsigned char typed) {
  if (want == typed) return 0;
  const int32_t wantCode = LetterCodeOf(want);
  const int32_t typedCode = LetterCodeOf(typed);
  if (wantCode < 0 || typedCode < 0) return costs.plain;
  if (FoldLetterCode(wantCode) == FoldLetterCode(typedCode)) return costs.accent;
  if (IsVowelCode(wantCode) && IsVowelCode(typedCode)) return costs.vowel;
  uint16_t cost = costs.plain;
  if (AreKeyboardNeighbours(want, typed)) cost = std::min(cost, costs.keyboard);
  if (IsSoundPair(want, typed)) cost = std::min(cost, costs.sound);
  return cost;
}

uint16_t Saturate(uint32_t value) {
  return static_cast<uint16_t>(std::min<uint32_t>(value, EDIT_COST_LIMIT));
}

// Row 1, where the first letter's surcharge applies.
uint16_t FillFirstLetterRow(const EditModel& model, const TypedWord& typed, unsigned char c,
                            EditRows& rows) {
  const EditCosts& costs = model.costs;
  const uint32_t missing = uint32_t{model.missing[c]} + costs.firstLetter;
  const uint16_t* above = rows[0];
  uint16_t* row = rows[1];
  const uint16_t* substitute = &model.substitute[static_cast<size_t>(c) * 256];
  row[0] = Saturate(uint32_t{above[0]} + missing);
  uint32_t smallest = row[0];
  for (uint32_t j = 1; j <= typed.length; ++j) {
    uint32_t replace = substitute[typed.chars[j - 1]];
    if (j == 1 && replace != 0) replace += costs.firstLetter;
    uint32_t best = uint32_t{above[j - 1]} + replace;
    best = std::min(best, uint32_t{above[j]} + missing);
    best = std::min(best, uint32_t{row[j - 1]} + typed.extraCost[j]);
    row[j] = Saturate(best);
    smallest = std::min<uint32_t>(smallest, row[j]);
  }
  return static_cast<uint16_t>(smallest);
}

}  // namespace

bool AreKeyboardNeighbours(unsigned char a, unsigned char b) {
  if (a < 'a' || a > 'z' || b < 'a' || b > 'z' || a == b) return false;
  const KeyPlace& p = KEY_PLACES[a - 'a'];
  const KeyPlace& q = KEY_PLACES[b - 'a'];
  const int rows = p.row > q.row ? p.row - q.row : q.row - p.row;
  const int quarters = p.quarter > q.quarter ? p.quarter - q.quarter : q.quarter - p.quarter;
  if (rows == 0) return quarters == 4;
  return rows == 1 && quarters < 4;
}

void BuildEditModel(const EditCosts& costs, EditModel& model) {
  model.costs = costs;
  for (int want = 0; want < 256; ++want) {
    for (int typed = 0; typed < 256; ++typed) {
      model.substitute[want * 256 + typed] = SubstitutionCost(
          costs, static_cast<unsigned char>(want), static_cast<unsigned char>(typed));
    }
    model.missing[want] =
        IsVowelByte(static_cast<unsigned char>(want)) ? costs.missingVowel : costs.plain;
  }
}

const EditModel& DefaultEditModel() {
  static const EditModel* const model = [] {
    auto* built = new EditModel;
    BuildEditModel(EditCosts{}, *built);
    return built;
  }();
  return *model;
}

void PrepareTypedWord(const EditModel& model, const char* typed, TypedWord& out) {
  const EditCosts& costs = model.costs;
  out = TypedWord{};
  // The cheapest replacement by a letter of another base letter.
  const uint16_t cheapestOther = std::min({costs.plain, costs.vowel, costs.keyboard, costs.sound});
  while (out.length < WORD_MAX && typed[out.length] != '\0') {
    out.chars[out.length] = static_cast<unsigned char>(typed[out.length]);
    ++out.length;
  }
  for (uint32_t j = 1; j <= out.length; ++j) {
    const unsigned char c = out.chars[j - 1];
    out.positions[c] |= uint32_t{1} << j;
    const unsigned char before = j >= 2 ? out.chars[j - 2] : 0;
    const unsigned char after = out.chars[j];  // NUL after the last letter
    uint32_t cost = costs.plain;
    if (c == before || c == after) {
      cost = costs.doubled;
    } else if (AreKeyboardNeighbours(c, before) || AreKeyboardNeighbours(c, after)) {
      cost = costs.strayKey;
    }
    if (j == 1) cost += costs.firstLetter;
    out.extraCost[j] = Saturate(cost);
    const uint32_t kind = RankLetterBit(c);
    out.letterBits |= kind;
    out.positionsOfKind[__builtin_ctz(kind)] |= uint32_t{1} << j;
    out.absentCost = j == 1 ? std::min(out.extraCost[j], cheapestOther)
                            : std::min({out.absentCost, out.extraCost[j], cheapestOther});
  }
}

void FillFirstEditRow(const TypedWord& typed, EditRows& rows) {
  rows[0][0] = 0;
  for (uint32_t j = 1; j <= typed.length; ++j) {
    rows[0][j] = Saturate(uint32_t{rows[0][j - 1]} + typed.extraCost[j]);
  }
}

uint16_t FillEditRow(const EditModel& model, const TypedWord& typed, const unsigned char* word,
                     uint32_t d, EditRows& rows) {
  const unsigned char c = word[d - 1];
  if (d == 1) return FillFirstLetterRow(model, typed, c, rows);
  const EditCosts& costs = model.costs;
  const unsigned char before = word[d - 2];
  // The dictionary letter c left out by the writer.
  const uint32_t missing = c == before ? costs.doubled : model.missing[c];
  const uint16_t* above = rows[d - 1];
  const uint16_t* twoAbove = rows[d - 2];
  uint16_t* row = rows[d];
  const uint16_t* substitute = &model.substitute[static_cast<size_t>(c) * 256];
  // Where the typed word holds c then `before`: the dictionary's "before c"
  // typed swapped.
  const uint32_t swaps = c != before ? typed.positions[before] & (typed.positions[c] << 1) : 0;

  row[0] = Saturate(uint32_t{above[0]} + missing);
  uint32_t smallest = row[0];
  for (uint32_t j = 1; j <= typed.length; ++j) {
    uint32_t best = uint32_t{above[j - 1]} + substitute[typed.chars[j - 1]];
    best = std::min(best, uint32_t{above[j]} + missing);
    best = std::min(best, uint32_t{row[j - 1]} + typed.extraCost[j]);
    if (((swaps >> j) & 1u) != 0) {
      best = std::min(best, uint32_t{twoAbove[j - 2]} + costs.transpose);
    }
    row[j] = Saturate(best);
    smallest = std::min<uint32_t>(smallest, row[j]);
  }
  return static_cast<uint16_t>(smallest);
}

uint16_t EditDistance(const EditModel& model, const TypedWord& typed, const unsigned char* word,
                      size_t length) {
  EditRows rows;
  FillFirstEditRow(typed, rows);
  const uint32_t kept = static_cast<uint32_t>(std::min<size_t>(length, WORD_MAX));
  for (uint32_t d = 1; d <= kept; ++d) FillEditRow(model, typed, word, d, rows);
  return rows[kept][typed.length];
}

}  // namespace orth
