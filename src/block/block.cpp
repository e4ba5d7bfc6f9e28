#include "block/block.h"

#include <cstring>
#include <new>

#include "session/session_table.h"
#include "text/char_table.h"

namespace orth {
namespace {

uint32_t SkipNonLetters(const Block& block, uint32_t pos) {
  while (pos < block.length && !IsLetter(block.text[pos])) ++pos;
  return pos;
}

uint32_t SkipWordChars(const Block& block, uint32_t pos) {
  while (pos < block.length && IsWordChar(block.text[pos])) ++pos;
  return pos;
}

}  // namespace

int32_t OpenBlock(Session& session, const char* text, uint32_t length, uint32_t capacity,
                  int32_t copy) {
  int32_t slot = 0;
  while (slot < MAX_BLOCKS && session.blocks[slot]) ++slot;
  if (slot == MAX_BLOCKS) return ERR_TOO_MANY_BLOCKS;
  if (length > capacity || (text == nullptr && length > 0)) return ERR_BUFFER_TOO_SMALL;

  std::unique_ptr<Block> block(new (std::nothrow) Block());
  if (!block) return ERR_NO_MEMORY;
  if (copy != 0) {
    // At least one byte, so that an empty copy still has a buffer.
    block->ownedText.reset(new (std::nothrow) unsigned char[capacity > 0 ? capacity : 1]);
    if (!block->ownedText) return ERR_NO_MEMORY;
    if (length > 0) std::memcpy(block->ownedText.get(), text, length);
    block->text = block->ownedText.get();
  } else {
    // The caller's buffer: edits land in it.
    block->text = reinterpret_cast<unsigned char*>(const_cast<char*>(text));
  }
  block->length = length;
  block->capacity = capacity;
  block->cursor = SkipNonLetters(*block, 0);
  session.blocks[slot] = std::move(block);
  return slot;
}

void CloseBlock(Session& session, int32_t block) {
  session.blocks[block].reset();
}

int32_t ReadBlockWord(const Block& block, char* buffer, uint32_t size) {
  uint32_t pos = SkipNonLetters(block, block.cursor);
  if (pos >= block.length) return ERR_NOT_FOUND;
  uint32_t copied = 0;
  if (size >= 2) buffer[copied++] = static_cast<char>(block.text[pos++]);
  while (copied + 1 < size && pos < block.length && IsWordChar(block.text[pos])) {
    buffer[copied++] = static_cast<char>(block.text[pos++]);
  }
  buffer[copied] = '\0';
  return pos < block.length ? block.text[pos] : 0;
}

int32_t NextBlockWord(Block& block) {
  block.cursor = SkipNonLetters(block, block.cursor);
  if (block.cursor >= block.length) return ERR_NOT_FOUND;
  block.cursor = SkipWordChars(block, block.cursor);
  if (block.cursor >= block.length) return ERR_NOT_FOUND;
  block.cursor = SkipNonLetters(block, block.cursor);
  if (block.cursor >= block.length) return ERR_NOT_FOUND;
  block.sentenceStart = 0;
  return 0;
}

int32_t ReplaceBlockWord(Block& block, const char* newWord) {
  // The old word is what a 31-byte read holds: at most 30 characters.
  char oldWord[WORD_MAX + 1];
  if (ReadBlockWord(block, oldWord, sizeof oldWord) == ERR_NOT_FOUND) return ERR_NOT_FOUND;
  const uint32_t start = SkipNonLetters(block, block.cursor);
  const uint64_t oldLen = std::strlen(oldWord);
  const uint64_t newLen = std::strlen(newWord);
  // The text must stay at least one byte shorter than the buffer.
  const uint64_t newLength = uint64_t{block.length} - oldLen + newLen;
  if (newLength >= block.capacity) return ERR_BUFFER_TOO_SMALL;

  // The byte after the text (a caller's terminating NUL) moves with the tail
  // when the buffer extends past the text.
  const uint64_t tailEnd =
      block.length < block.capacity ? block.length + uint64_t{1} : block.length;
  const uint64_t tailFrom = start + oldLen;
  std::memmove(block.text + start + newLen, block.text + tailFrom, tailEnd - tailFrom);
  std::memcpy(block.text + start, newWord, newLen);
  block.length = static_cast<uint32_t>(newLength);
  return 0;
}

void DeleteBlockWord(Block& block) {
  uint32_t end = block.cursor;
  while (end < block.length && !IsSpace(block.text[end])) ++end;
  while (end < block.length && IsSpace(block.text[end])) ++end;
  if (end == block.cursor) return;
  // As with a replacement, the byte after the text (a caller's terminating
  // NUL) moves with the tail when the buffer extends past the text, so a
  // NUL-terminated text stays terminated right after its new end.
  const uint64_t tailEnd =
      block.length < block.capacity ? block.length + uint64_t{1} : block.length;
  std::memmove(block.text + block.cursor, block.text + end, tailEnd - end);
  block.length -= end - block.cursor;
}

uint32_t CountBlockWords(Block& block) {
  const uint32_t savedCursor = block.cursor;
  const int32_t savedSentenceStart = block.sentenceStart;
  block.cursor = 0;
  uint32_t count = 0;
  char scratch[1];
  while (ReadBlockWord(block, scratch, sizeof scratch) != ERR_NOT_FOUND) {
    ++count;
    if (NextBlockWord(block) != 0) break;
  }
  block.cursor = savedCursor;
  block.sentenceStart = savedSentenceStart;
  return count;
}

int32_t CopyBlockText(const Block& block, char* buffer, uint32_t size) {
  if (size < block.length) return ERR_BUFFER_TOO_SMALL;
  if (block.length > 0) std::memcpy(buffer, block.text, block.length);
  return static_cast<int32_t>(block.length);
}

}  // namespace orth
