// Looking a word up in a compressed lexicon.
#include "lex/compressed_lookup.h"

#include "lex/section_cache.h"
#include "lex/section_decoder.h"

namespace orth {

int32_t CompareShortWords(const ShortWord& a, const ShortWord& b) {
  if (a[0] != b[0]) return static_cast<int32_t>(a[0]) - static_cast<int32_t>(b[0]);
  return static_cast<int32_t>(a[1]) - static_cast<int32_t>(b[1]);
}

bool FindShortWord(const char* word, const ShortWord* table, uint32_t count) {
  if (word == nullptr || table == nullptr) return false;
  const ShortWord key = ShortWordOf(word);
  uint32_t low = 0;
  uint32_t high = count;  // the key, if present, lies in [low, high)
  while (low < high) {
    const uint32_t middle = low + (high - low) / 2;
    const int32_t order = CompareShortWords(key, table[middle]);
    if (order == 0) return true;
    if (order < 0) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return false;
}

int32_t FindInCompressedLex(const char* word, CompressedLex& lex) {
  if (word == nullptr || word[0] == 0) return ERR_NOT_FOUND;
  if (word[1] == 0 || word[2] == 0) {
    return FindShortWord(word, lex.shortWords.data(), lex.shortWordCount) ? 0 : ERR_NOT_FOUND;
  }
  const int32_t position =
      SectionPosition(static_cast<unsigned char>(word[0]), static_cast<unsigned char>(word[1]));
  if (!IsSectionPosition(position) || lex.sections[position] == nullptr) return ERR_NOT_FOUND;
  // A section that is empty or cannot be read holds nothing to find.
  if (LoadSection(lex, position) != 0) return ERR_NOT_FOUND;
  const int32_t found =
      DecodeSection(*lex.sections[position], word, true, SectionVisit{}, lex.tokens);
  return found == 1 ? 0 : ERR_NOT_FOUND;
}

}  // namespace orth
