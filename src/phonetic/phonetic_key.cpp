// The phonetic key of a word.
#include "phonetic/phonetic_key.h"

namespace orth {

namespace {

// The key letter of the digraph starting at word[p], or 0 when none does.
char DigraphKeyAt(const char* word, size_t p) {
  // word[p + 1] is at worst the NUL, which no digraph holds.
  for (const PhonDigraph& digraph : PhonDigraphs) {
    if (word[p] == digraph.first && word[p + 1] == digraph.second) {
      return PhonKeyTable(static_cast<unsigned char>(digraph.standsFor));
    }
  }
  return 0;
}

}  // namespace

size_t PhoneticKey(const char* word, char* key, size_t keySize) {
  if (keySize == 0) return 0;
  if (word == nullptr) word = "";
  size_t length = 0;
  for (size_t p = 0; word[p] != '\0' && length + 1 < keySize; ++p) {
    // A digraph's second byte is looked at again on the next round, in its
    // own right.
    char k = DigraphKeyAt(word, p);
    if (k == 0) {
      k = PhonKeyTable(static_cast<unsigned char>(word[p]));
      if (p == 0 && k == '-') k = PHON_KEY_SILENT_START;
    }
    if (k == '-') continue;
    if (length > 0 && key[length - 1] == k) continue;
    key[length++] = k;
  }
  key[length] = '\0';
  return length;
}

}  // namespace orth
