// The in-memory text lexicon: lookup, sorted insertion, deletion, listing,
// enumeration and growth of the slot arrays.
#include "lex/text_lex.h"

#include <cstring>
#include <new>

#include "text/char_table.h"

namespace orth {

std::unique_ptr<char[]> AllocateTextLexSlots(uint32_t capacity) {
  return std::unique_ptr<char[]>(new (std::nothrow) char[capacity * TEXT_LEX_SLOT_SIZE]());
}

void StoreTextLexWord(char* slot, const char* text) {
  size_t length = 0;
  while (length < WORD_MAX && text[length] != '\0') ++length;
  std::memcpy(slot, text, length);
  std::memset(slot + length, 0, TEXT_LEX_SLOT_SIZE - length);
}

int32_t FreeTextLex(std::unique_ptr<TextLex>& lex) {
  lex.reset();
  return 0;
}

int32_t SearchTextLex(const TextLex& lex, const char* word) {
  uint32_t low = 0;
  uint32_t high = lex.count;
  while (low < high) {
    const uint32_t middle = low + (high - low) / 2;
    const int32_t order = CompareCaseless(word, lex.WordAt(middle));
    if (order == 0) return static_cast<int32_t>(middle);
    if (order < 0) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return ERR_NOT_FOUND;
}

int32_t FindInTextLex(const TextLex& lex, const char* word, char* buffer, int32_t size) {
  const int32_t position = SearchTextLex(lex, word);
  if (position < 0) return ERR_NOT_FOUND;
  if (lex.HasOthers() && size > 0) {
    const char* other = lex.OtherAt(static_cast<uint32_t>(position));
    const size_t limit = static_cast<size_t>(size) - 1;
    size_t length = 0;
    while (length < limit && other[length] != '\0') ++length;
    std::memcpy(buffer, other, length);
    std::memset(buffer + length, 0, static_cast<size_t>(size) - length);
  }
  return 0;
}

int32_t GrowTextLex(TextLex& lex) {
  const uint32_t newCapacity = lex.capacity + TEXT_LEX_GROW_STEP;
  if (newCapacity > TEXT_LEX_MAX_ENTRIES) return ERR_NO_MEMORY;
  const size_t oldBytes = static_cast<size_t>(lex.capacity) * TEXT_LEX_SLOT_SIZE;
  std::unique_ptr<char[]> words = AllocateTextLexSlots(newCapacity);
  if (!words) return ERR_NO_MEMORY;
  std::unique_ptr<char[]> others;
  if (lex.HasOthers()) {
    others = AllocateTextLexSlots(newCapacity);
    if (!others) return ERR_NO_MEMORY;
    if (oldBytes > 0) std::memcpy(others.get(), lex.others.get(), oldBytes);
  }
  if (oldBytes > 0) std::memcpy(words.get(), lex.words.get(), oldBytes);
  lex.words = std::move(words);
  if (lex.HasOthers()) lex.others = std::move(others);
  lex.capacity = newCapacity;
  return 0;
}

int32_t AddToTextLex(TextLex& lex, const char* word, const char* otherWord) {
  // Compare in the stored form, so that a word longer than a slot is not
  // added again under its cut form.
  char key[TEXT_LEX_SLOT_SIZE];
  StoreTextLexWord(key, word);
  if (SearchTextLex(lex, key) >= 0) return 0;
  if (lex.count >= lex.capacity) {
    const int32_t grown = GrowTextLex(lex);
    if (grown < 0) return grown;
  }

  uint32_t position = 0;
  while (position < lex.count && CompareCaseless(lex.WordAt(position), key) < 0) ++position;

  const size_t movedBytes = static_cast<size_t>(lex.count - position) * TEXT_LEX_SLOT_SIZE;
  std::memmove(lex.WordAt(position + 1), lex.WordAt(position), movedBytes);
  std::memcpy(lex.WordAt(position), key, TEXT_LEX_SLOT_SIZE);
  if (lex.HasOthers()) {
    std::memmove(lex.OtherAt(position + 1), lex.OtherAt(position), movedBytes);
    StoreTextLexWord(lex.OtherAt(position), otherWord != nullptr ? otherWord : "");
  }
  ++lex.count;
  return 0;
}

int32_t DeleteFromTextLex(TextLex& lex, const char* word) {
  const int32_t found = SearchTextLex(lex, word);
  if (found < 0) return ERR_NOT_FOUND;
  const uint32_t position = static_cast<uint32_t>(found);
  const size_t movedBytes = static_cast<size_t>(lex.count - 1 - position) * TEXT_LEX_SLOT_SIZE;
  std::memmove(lex.WordAt(position), lex.WordAt(position + 1), movedBytes);
  if (lex.HasOthers()) std::memmove(lex.OtherAt(position), lex.OtherAt(position + 1), movedBytes);
  --lex.count;
  return 0;
}

int32_t ClearTextLex(TextLex& lex) {
  lex.count = 0;
  return 0;
}

int32_t GetTextLexSize(const TextLex& lex, int32_t& size) {
  // At most 2114 entries of 31 + 31 bytes: well within 32 bits.
  int32_t total = 1;
  for (uint32_t i = 0; i < lex.count; ++i) {
    total += static_cast<int32_t>(std::strlen(lex.WordAt(i))) + 1;
    if (lex.HasOthers()) total += 1 + static_cast<int32_t>(std::strlen(lex.OtherAt(i)));
  }
  size = total;
  return 0;
}

int32_t ListTextLex(const TextLex& lex, char* buffer, uint32_t size) {
  int32_t needed = 0;
  GetTextLexSize(lex, needed);
  if (size < static_cast<uint32_t>(needed)) return ERR_BUFFER_TOO_SMALL;
  char* out = buffer;
  for (uint32_t i = 0; i < lex.count; ++i) {
    const size_t wordLength = std::strlen(lex.WordAt(i));
    std::memcpy(out, lex.WordAt(i), wordLength);
    out += wordLength;
    if (lex.HasOthers()) {
      const size_t otherLength = std::strlen(lex.OtherAt(i));
      *out++ = ':';
      std::memcpy(out, lex.OtherAt(i), otherLength);
      out += otherLength;
    }
    *out++ = '\0';
  }
  *out = '\0';
  return static_cast<int32_t>(lex.count);
}

int32_t ForEachTextLexWord(const TextLex& lex, TextLexVisitor visitor, const char* target,
                           void* context) {
  for (uint32_t i = 0; i < lex.count; ++i) {
    const int32_t result = visitor(target, lex.WordAt(i), context);
    if (result <= 0) return result;
  }
  return 1;
}

}  // namespace orth
