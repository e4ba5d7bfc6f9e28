#include "text/normalize.h"

#include <cstring>

#include "orth.h"
#include "text/char_table.h"

namespace orth {

namespace {

bool IsApostrophe(char c) {
  return static_cast<unsigned char>(c) == APOSTROPHE;
}
unsigned char Byte(char c) {
  return static_cast<unsigned char>(c);
}

// The length of text, counting at most max characters.
size_t BoundedLength(const char* text, size_t max) {
  size_t length = 0;
  while (length < max && text[length] != '\0') ++length;
  return length;
}

}  // namespace

int32_t NormalizeWord(const char* word, char* out) {
  // The first WORD_MAX characters, NULs after them: one pass over the word,
  // and a clearing of constant size that needs no call.
  std::memset(out, 0, WORD_MAX + 1);
  size_t length = 0;
  for (; length < WORD_MAX && word[length] != '\0'; ++length) out[length] = word[length];

  // A possessive or contracted ending: «dogs'», «dog's», «can't».
  if (length >= 1 && IsApostrophe(out[length - 1])) {
    length -= 1;
  } else if (length >= 2 && IsApostrophe(out[length - 2]) && IsLetter(Byte(out[length - 1]))) {
    length -= 2;
  }
  out[length] = '\0';
  if (length == 0) return 0;

  // A leading apostrophe («'tis») or one-letter elision («l'homme»); the
  // second rule wins, so «''abc» loses both apostrophes.
  size_t lead = IsApostrophe(word[0]) ? 1 : 0;
  if (length > 1 && IsApostrophe(word[1])) lead = 2;
  if (lead > 0) {
    std::memmove(out, out + lead, length - lead + 1);
    length -= lead;
  }

  // Only the first of several space-separated words is looked up.
  if (char* space = static_cast<char*>(std::memchr(out, ' ', length))) {
    *space = '\0';
    length = static_cast<size_t>(space - out);
  }

  for (size_t i = 0; i < length; ++i) out[i] = static_cast<char>(ToLowerChar(Byte(out[i])));
  return static_cast<int32_t>(length);
}

size_t NormalizedStart(const char* word) {
  // The same steps as NormalizeWord: the ending first, since a word that is
  // nothing but an elision keeps it.
  size_t length = BoundedLength(word, WORD_MAX);
  if (length >= 1 && IsApostrophe(word[length - 1])) {
    length -= 1;
  } else if (length >= 2 && IsApostrophe(word[length - 2]) && IsLetter(Byte(word[length - 1]))) {
    length -= 2;
  }
  if (length == 0) return 0;
  size_t lead = IsApostrophe(word[0]) ? 1 : 0;
  if (length > 1 && IsApostrophe(word[1])) lead = 2;
  return lead;
}

void RestoreCase(const char* word, char* suggestion) {
  // The suggestion is a kept word; cutting it here bounds the result to 32.
  size_t suggestionLength = BoundedLength(suggestion, WORD_MAX);
  suggestion[suggestionLength] = '\0';

  // Put back the leading forms that normalisation removed, keeping the
  // result within 30 characters, and align the rest of both words.
  const char* w = word;
  char* s = suggestion;
  if (IsApostrophe(word[0])) {
    const size_t kept = suggestionLength < WORD_MAX - 1 ? suggestionLength : WORD_MAX - 1;
    std::memmove(suggestion + 1, suggestion, kept);
    suggestion[0] = static_cast<char>(APOSTROPHE);
    suggestion[kept + 1] = '\0';
    w = word + 1;
    s = suggestion + 1;
  } else if (word[0] != '\0' && IsApostrophe(word[1])) {
    const size_t kept = suggestionLength < WORD_MAX - 2 ? suggestionLength : WORD_MAX - 2;
    std::memmove(suggestion + 2, suggestion, kept);
    suggestion[0] = word[0];
    suggestion[1] = static_cast<char>(APOSTROPHE);
    suggestion[kept + 2] = '\0';
    w = word + 2;
    s = suggestion + 2;
  }
  const size_t sl = std::strlen(s);
  const size_t wl = std::strlen(w);

  // A word without a lower-case letter is written in capitals throughout,
  // also past its own end.
  bool allCaps = true;
  for (size_t i = 0; i < wl; ++i) {
    if (IsLower(Byte(w[i]))) allCaps = false;
  }

  for (size_t i = 0; i < sl; ++i) {
    if (IsApostrophe(s[i])) continue;
    bool upper;
    if (i >= wl || IsApostrophe(w[i])) {
      upper = allCaps;
    } else if (IsUpper(Byte(w[i]))) {
      upper = true;
    } else if (IsLower(Byte(w[i]))) {
      upper = false;
    } else {
      upper = allCaps;
    }
    if (upper) s[i] = static_cast<char>(ToUpperChar(Byte(s[i])));
  }

  // Put back a final «'s»-like ending or a final apostrophe.
  if (wl >= 2 && IsLetter(Byte(w[wl - 1])) && IsApostrophe(w[wl - 2])) {
    s[sl] = static_cast<char>(APOSTROPHE);
    s[sl + 1] = w[wl - 1];
    s[sl + 2] = '\0';
  } else if (wl >= 2 && IsApostrophe(w[wl - 1])) {
    s[sl] = static_cast<char>(APOSTROPHE);
    s[sl + 1] = '\0';
  }
}

}  // namespace orth
