#include "suggest/similarity.h"

#include <array>
#include <cstring>

#include "text/char_table.h"

namespace orth {
namespace {

// What the score needs of one byte, looked up once: its letter code, its base
// letter and whether that base is a vowel. Bytes without a letter code (the
// NUL included) share code and base -1, which no letter has.
struct ScoreChar {
  int8_t code;
  int8_t base;
  bool vowel;
};

constexpr std::array<ScoreChar, 256> BuildScoreChars() {
  std::array<ScoreChar, 256> table{};
  for (int c = 0; c < 256; ++c) {
    const int32_t code = LetterCode[c];
    if (code < 0) {
      table[c] = ScoreChar{-1, -1, false};
      continue;
    }
    const int32_t base = FoldTable[code];
    const bool vowel = base == 1 || base == 5 || base == 9 || base == 15 || base == 21;
    table[c] = ScoreChar{static_cast<int8_t>(code), static_cast<int8_t>(base), vowel};
  }
  return table;
}

constexpr std::array<ScoreChar, 256> kScoreChars = BuildScoreChars();

// Points for each step of the walk.
constexpr int32_t SAME_LETTER = 6;
constexpr int32_t SAME_BASE = 5;
constexpr int32_t TRANSPOSED_PAIR = 4;
constexpr int32_t TRANSPOSED_BASES = 3;
constexpr int32_t EXTRA_LETTER = 2;
constexpr int32_t EXTRA_BASE = 1;
constexpr int32_t SAME_CLASS = 1;
constexpr size_t MAX_LENGTH_DIFFERENCE = MAX_SCORED_LENGTH_DIFFERENCE;

}  // namespace

int32_t ScoreSimilarity(const char* misspelled, const char* candidate) {
  return ScoreSimilarityOfLengths(misspelled, std::strlen(misspelled), candidate,
                                  std::strlen(candidate));
}

int32_t ScoreSimilarityOfLengths(const char* misspelled, size_t lm, const char* candidate,
                                 size_t lk) {
  const auto* m = reinterpret_cast<const unsigned char*>(misspelled);
  const auto* k = reinterpret_cast<const unsigned char*>(candidate);
  const size_t difference = lm > lk ? lm - lk : lk - lm;
  if (difference > MAX_LENGTH_DIFFERENCE) return 0;

  int64_t total = 0;
  size_t i = 0;
  size_t j = 0;
  // m[i + 1] and k[j + 1] are readable while m[i] and k[j] are not the NUL.
  while (m[i] != 0 && k[j] != 0) {
    const ScoreChar cm = kScoreChars[m[i]];
    const ScoreChar ck = kScoreChars[k[j]];
    const ScoreChar cmNext = kScoreChars[m[i + 1]];
    const ScoreChar ckNext = kScoreChars[k[j + 1]];
    if (cm.base == ck.base) {
      total += cm.code == ck.code ? SAME_LETTER : SAME_BASE;
      i += 1;
      j += 1;
    } else if (ck.base == cmNext.base && cm.base == ckNext.base) {
      total +=
          cmNext.code == ck.code && ckNext.code == cm.code ? TRANSPOSED_PAIR : TRANSPOSED_BASES;
      i += 2;
      j += 2;
    } else if (ck.base == cmNext.base) {
      total += cmNext.code == ck.code ? EXTRA_LETTER : EXTRA_BASE;
      i += 2;
      j += 1;
    } else if (cm.base == ckNext.base) {
      total += ckNext.code == cm.code ? EXTRA_LETTER : EXTRA_BASE;
      i += 1;
      j += 2;
    } else {
      total += cm.vowel == ck.vowel ? SAME_CLASS : 0;
      i += 1;
      j += 1;
    }
    // A step of two that passes a word's end stops on its NUL.
    if (i > lm) i = lm;
    if (j > lk) j = lk;
  }

  total -= static_cast<int64_t>(difference);
  if (total <= 0) return 0;
  const int64_t divisor = lm == 0 ? 1 : 6 * static_cast<int64_t>(lm);
  return static_cast<int32_t>(total * 100 / divisor);
}

}  // namespace orth
