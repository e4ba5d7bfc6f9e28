// The word index of a resident section: the section's words decoded once,
// kept in stored order for enumeration, and hashed for exact lookups when the
// section's order allows it.
//
// The index is a copy of what the plain decode emits, so enumerating it gives
// the visitor the same words in the same order. An exact lookup by hashing
// agrees with the plain early-stopping search only in a well-ordered section,
// so the hash is used only when the build found the records ascending by
// third letter, every run's words strictly ascending by letter code (the
// first differing byte has a strictly lower letter code in the earlier word),
// no NUL inside a word and no malformed data; otherwise exact lookups keep the
// plain decode.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "lex/compressed_lex.h"
#include "lex/section_decoder.h"

namespace orth {

inline constexpr size_t WORD_ENTRY_HEADER = 2;  // the two length bytes before a word

struct SectionWordIndex {
  // Each word: one byte with its length up to its first NUL, one with its
  // decoded length, its decoded bytes, a NUL.
  std::vector<unsigned char> text;
  // Open addressing over the words: offset + 1 of a word in `text`, 0 empty;
  // a power of two in size, empty unless `ordered`.
  std::vector<uint32_t> slots;
  uint32_t count = 0;
  bool complete = false;  // the plain decode reached the section's end
  bool ordered = false;   // exact lookups may use the hash (see above)

  // Heap bytes the index holds.
  size_t Bytes() const {
    return sizeof *this + text.capacity() + slots.capacity() * sizeof(uint32_t);
  }
};

// Decodes a resident section into a new index. Null when the section is not
// resident or memory runs out (the plain decode then goes on serving it).
SectionWordIndexPtr BuildSectionWordIndex(const LexSection& section, const TokenStrings& tokens);

// Whether a word equal to target is in an ordered index.
bool FindInSectionWordIndex(const SectionWordIndex& words, const char* target);

// Hands every word to the visitor in stored order, with DecodeSection's
// result rules: 1 when the visitor returned 0, otherwise 0.
int32_t VisitSectionWordIndex(const SectionWordIndex& words, const char* target,
                              const SectionVisit& visit);

// Calls fn(word, length) for every word in stored order; length is the
// word's length up to its first NUL.
template <typename Fn>
void ForEachIndexedWord(const SectionWordIndex& words, Fn&& fn) {
  const unsigned char* at = words.text.data();
  const unsigned char* end = at + words.text.size();
  while (at < end) {
    fn(reinterpret_cast<const char*>(at + WORD_ENTRY_HEADER), static_cast<uint32_t>(at[0]));
    at += WORD_ENTRY_HEADER + at[1] + 1;
  }
}

}  // namespace orth
