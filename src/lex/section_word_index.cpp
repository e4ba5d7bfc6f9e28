// Building and searching the word index of a resident section.
#include "lex/section_word_index.h"

#include <cstring>
#include <new>

#include "text/char_table.h"

namespace orth {
namespace {

uint32_t HashWord(const unsigned char* word, size_t length) {
  uint32_t hash = 2166136261u;
  for (size_t i = 0; i < length; ++i) hash = (hash ^ word[i]) * 16777619u;
  return hash;
}

// Whether `earlier` may come right before `later` in a run for the exact
// search to stop only after the target: at their first differing byte (the
// end of a word counts as a NUL) the earlier word's letter code is strictly
// lower. Equal codes on different bytes (a letter and its capital, two
// non-letters) would let the plain search pass a later word it should find.
bool StrictlyBefore(const unsigned char* earlier, uint32_t earlierLength,
                    const unsigned char* later, uint32_t laterLength) {
  for (uint32_t i = 0;; ++i) {
    const unsigned char a = i < earlierLength ? earlier[i] : 0;
    const unsigned char b = i < laterLength ? later[i] : 0;
    if (a != b) return LetterCodeOf(a) < LetterCodeOf(b);
    if (a == 0) return false;  // equal words
  }
}

struct Builder {
  SectionWordIndex& words;
  bool inRecord = false;
  unsigned char runThird = 0;
  uint32_t previous = 0;  // offset of the run's last word in text + 1; 0 none
};

bool OnRecord(void* context, unsigned char third) {
  Builder& b = *static_cast<Builder*>(context);
  if (b.inRecord && third < b.runThird) b.words.ordered = false;
  if (!b.inRecord || third != b.runThird) b.previous = 0;  // a new run
  b.inRecord = true;
  b.runThird = third;
  return true;
}

bool OnWord(void* context, const unsigned char* word, uint32_t length) {
  Builder& b = *static_cast<Builder*>(context);
  std::vector<unsigned char>& text = b.words.text;
  const uint32_t cLength =
      static_cast<uint32_t>(strnlen(reinterpret_cast<const char*>(word), length));
  if (cLength != length) b.words.ordered = false;  // a NUL inside the word
  if (b.previous != 0) {
    const unsigned char* prior = text.data() + b.previous - 1;
    if (!StrictlyBefore(prior + WORD_ENTRY_HEADER, prior[1], word, length)) {
      b.words.ordered = false;
    }
  }
  b.previous = static_cast<uint32_t>(text.size()) + 1;
  text.push_back(static_cast<unsigned char>(cLength));
  text.push_back(static_cast<unsigned char>(length));
  text.insert(text.end(), word, word + length);
  text.push_back(0);
  ++b.words.count;
  return true;
}

void BuildHash(SectionWordIndex& words) {
  size_t size = 4;
  while (size < 2 * static_cast<size_t>(words.count)) size *= 2;
  words.slots.assign(size, 0);
  const size_t mask = size - 1;
  const unsigned char* base = words.text.data();
  size_t at = 0;
  while (at < words.text.size()) {
    const unsigned char* entry = base + at;
    size_t slot = HashWord(entry + WORD_ENTRY_HEADER, entry[1]) & mask;
    while (words.slots[slot] != 0) slot = (slot + 1) & mask;
    words.slots[slot] = static_cast<uint32_t>(at) + 1;
    at += WORD_ENTRY_HEADER + entry[1] + 1;
  }
}

}  // namespace

void SectionWordIndexDeleter::operator()(SectionWordIndex* words) const {
  delete words;
}

SectionWordIndexPtr BuildSectionWordIndex(const LexSection& section, const TokenStrings& tokens) {
  if (section.data == nullptr) return nullptr;
  try {
    SectionWordIndexPtr words(new SectionWordIndex);
    // About three decoded bytes per section byte in practice.
    words->text.reserve(static_cast<size_t>(section.size) * 4);
    words->ordered = true;
    Builder builder{*words};
    const DecodedWordSink sink{&builder, OnRecord, OnWord};
    words->complete = DecodeSectionWords(section, tokens, sink);
    if (!words->complete) words->ordered = false;
    if (words->ordered) BuildHash(*words);
    words->text.shrink_to_fit();
    return words;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

bool FindInSectionWordIndex(const SectionWordIndex& words, const char* target) {
  if (words.slots.empty() || target == nullptr) return false;
  const size_t length = strnlen(target, DECODED_WORD_MAX + 1);
  if (length > DECODED_WORD_MAX) return false;  // longer than any decoded word
  const auto* t = reinterpret_cast<const unsigned char*>(target);
  const size_t mask = words.slots.size() - 1;
  const unsigned char* base = words.text.data();
  for (size_t slot = HashWord(t, length) & mask; words.slots[slot] != 0; slot = (slot + 1) & mask) {
    const unsigned char* entry = base + words.slots[slot] - 1;
    if (entry[1] == length && std::memcmp(entry + WORD_ENTRY_HEADER, t, length) == 0) return true;
  }
  return false;
}

int32_t VisitSectionWordIndex(const SectionWordIndex& words, const char* target,
                              const SectionVisit& visit) {
  int32_t result = 0;
  bool stopped = false;
  const unsigned char* at = words.text.data();
  const unsigned char* end = at + words.text.size();
  while (at < end && !stopped) {
    const int32_t answer =
        visit.visit(visit.context, target, reinterpret_cast<const char*>(at + WORD_ENTRY_HEADER));
    if (answer <= 0) {
      stopped = true;
      result = answer == 0 ? 1 : 0;
    }
    at += WORD_ENTRY_HEADER + at[1] + 1;
  }
  return result;
}

}  // namespace orth
