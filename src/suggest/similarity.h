// How close a candidate word is to a misspelled word, as an integer 0..100.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orth {

// Scores candidate against misspelled (the word being corrected, in its
// normalised form) in one left-to-right walk over both words: matching
// letters earn 6 (5 when only the accent differs), one transposed pair 4 (3),
// one extra or missing letter 2 (1), a substitution 1 within the same class
// (vowel or consonant) and 0 across classes; the length difference is then
// subtracted and the total scaled by 6 x the misspelled word's length.
// Words whose lengths differ by more than 2 score 0 without a walk. Letters
// compare by their base letter, so case never matters; bytes without a
// letter code all count as one and the same letter. Not symmetric.
int32_t ScoreSimilarity(const char* misspelled, const char* candidate);

// The same score for callers that know both lengths (the bytes before each
// word's NUL).
int32_t ScoreSimilarityOfLengths(const char* misspelled, size_t misspelledLength,
                                 const char* candidate, size_t candidateLength);

// The largest length difference that can still score above 0.
inline constexpr uint32_t MAX_SCORED_LENGTH_DIFFERENCE = 2;

}  // namespace orth
