// Cutting a caller's word to the form the lexicons hold, and giving a
// suggestion back the case pattern and the apostrophe forms of the word it
// replaces.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orth {

// Writes the look-up form of word into out, a field of WORD_MAX + 1 (31)
// bytes: at most 30 characters, the final apostrophe or apostrophe and
// letter removed, a leading apostrophe or letter-and-apostrophe elision
// removed, cut at the first space, lower-cased. Returns its length 0..30;
// 0 means there is nothing to look up. out[30] is always NUL.
int32_t NormalizeWord(const char* word, char* out);

// Where in word the characters of its look-up form begin: 0, or 1 or 2
// after the leading apostrophe or elision that NormalizeWord removes.
size_t NormalizedStart(const char* word);

// Gives suggestion (at most 30 characters, in a buffer of at least 33 bytes,
// edited in place) the leading elision, the upper-case pattern and the final
// apostrophe ending of word, the caller's word as it was passed. The result
// has at most 32 characters.
void RestoreCase(const char* word, char* suggestion);

}  // namespace orth
