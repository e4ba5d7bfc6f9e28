// Text blocks: a host's text held open with a word cursor, to be walked word
// by word and edited in place.
//
// A word starts at a letter and continues over letters, digits and
// apostrophes; anything else ends it («4th» yields «th», «(yes),» «yes»).
#pragma once

#include <cstdint>
#include <memory>

#include "orth.h"

namespace orth {

struct Session;

// The cursor value that no remembered word position can take.
inline constexpr uint32_t NO_POSITION = UINT32_MAX;

struct Block {
  unsigned char* text = nullptr;         // the caller's buffer, or ownedText
  uint32_t length = 0;                   // text bytes: positions 0 .. length-1
  uint32_t capacity = 0;                 // buffer size in bytes, at least length
  uint32_t cursor = 0;                   // first letter of the current word, or length
  int32_t sentenceStart = 1;             // 1 until the first successful move
  char previousWord[WORD_MAX + 1] = {};  // last word of the doubled-word test
  uint32_t previousWordPos = NO_POSITION;
  std::unique_ptr<unsigned char[]> ownedText;  // the private copy, if any

  bool OwnsText() const { return ownedText != nullptr; }
};

// Opens a block in the lowest free slot of a session: the block number,
// ERR_TOO_MANY_BLOCKS, ERR_BUFFER_TOO_SMALL (length above capacity, or no
// text for a non-zero length) or ERR_NO_MEMORY.
int32_t OpenBlock(Session& session, const char* text, uint32_t length, uint32_t capacity,
                  int32_t copy);

// Frees a block's slot (and its private copy).
void CloseBlock(Session& session, int32_t block);

// Copies the word at or after the cursor into buffer (size >= 1: at most
// size - 1 characters and a NUL). Returns the byte where copying stopped
// (0..255; 0 at the end of the text) or ERR_NOT_FOUND. The cursor stays.
int32_t ReadBlockWord(const Block& block, char* buffer, uint32_t size);

// Moves the cursor to the next word: 0, or ERR_NOT_FOUND with the cursor at
// the end of the text.
int32_t NextBlockWord(Block& block);

// Replaces the first 30 characters of the current word: 0, ERR_NOT_FOUND or
// ERR_BUFFER_TOO_SMALL (the text would reach the capacity).
int32_t ReplaceBlockWord(Block& block, const char* newWord);

// Deletes from the cursor through the first run of white space after it.
void DeleteBlockWord(Block& block);

// How many words the block holds, counted from its start. The block's
// cursor and sentence-start flag are left as they were.
uint32_t CountBlockWords(Block& block);

// Copies the text (no NUL added): its length, or ERR_BUFFER_TOO_SMALL.
int32_t CopyBlockText(const Block& block, char* buffer, uint32_t size);

}  // namespace orth
