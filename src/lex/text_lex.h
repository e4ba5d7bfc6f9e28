// The text lexicon: the engine's editable word list, held in memory as arrays
// of fixed 31-byte slots kept in caseless order, and stored as a small
// line-oriented file.
//
// File format: a header line "#LID <language, %04d> <type> <count>", then one
// entry per line: the word (Accept), or the word, ':' and the other word
// (Change, Suggest). Lines starting with '#' after the header are comments;
// they are skipped on reading and never written.
//
// Every operation returns 0 (or a count or position) on success and a
// negative ERR_* code of orth.h on failure.
#pragma once

#include <cstdint>
#include <memory>

#include "orth.h"

namespace orth {

// Bytes of one word slot: WORD_MAX characters and a NUL.
inline constexpr uint32_t TEXT_LEX_SLOT_SIZE = WORD_MAX + 1;
// Neither array of a text lexicon may exceed this many bytes.
inline constexpr uint32_t TEXT_LEX_MAX_BYTES = 65535;
// Entries the arrays gain at each growth (and the capacity of a new lexicon).
inline constexpr uint32_t TEXT_LEX_GROW_STEP = 8;
// The most entries that fit the byte limit (2114 × 31 = 65534).
inline constexpr uint32_t TEXT_LEX_MAX_ENTRIES = TEXT_LEX_MAX_BYTES / TEXT_LEX_SLOT_SIZE;
// Bytes of a header token kept by ReadHeaderToken (a longer run of non-space
// bytes continues as the next token).
inline constexpr int HEADER_TOKEN_MAX = 9;

struct TextLex {
  int32_t type = LEX_TYPE_ACCEPT;  // LEX_TYPE_CHANGE, _ACCEPT or _SUGGEST
  int32_t language = 0;            // stored and written back, never interpreted
  std::unique_ptr<char[]> words;   // capacity slots of TEXT_LEX_SLOT_SIZE bytes
  std::unique_ptr<char[]> others;  // parallel other words; null for Accept
  uint32_t count = 0;              // entries in use: slots 0 .. count-1
  uint32_t capacity = 0;           // slots allocated in words (and others)

  char* WordAt(uint32_t i) { return words.get() + i * TEXT_LEX_SLOT_SIZE; }
  const char* WordAt(uint32_t i) const { return words.get() + i * TEXT_LEX_SLOT_SIZE; }
  char* OtherAt(uint32_t i) { return others.get() + i * TEXT_LEX_SLOT_SIZE; }
  const char* OtherAt(uint32_t i) const { return others.get() + i * TEXT_LEX_SLOT_SIZE; }
  bool HasOthers() const { return others != nullptr; }
};

// Called with (target, word, context) for each word of a lexicon; a result of
// 0 or less stops the walk.
using TextLexVisitor = int32_t (*)(const char* target, const char* word, void* context);

// ---- Files ---------------------------------------------------------------

// Reads the header line of a file: 0 with its type (not range-checked) and
// language, ERR_FILE_OPEN or ERR_BAD_FORMAT.
int32_t ProbeTextLex(const char* fileName, int32_t& type, int32_t& language);

// Reads a whole text lexicon file into a new TextLex: 0, ERR_FILE_OPEN,
// ERR_BAD_FORMAT (no header, or a type outside 0..2) or ERR_NO_MEMORY (the
// header count or the entries exceed TEXT_LEX_MAX_ENTRIES). Entries are kept
// in file order.
int32_t LoadTextLex(const char* fileName, std::unique_ptr<TextLex>& out);

// Builds an empty lexicon; when fileName is non-null and non-empty, first
// creates that file holding only the header line. Returns 0, ERR_FILE_EXISTS
// (the file is left untouched), ERR_FILE_OPEN or ERR_NO_MEMORY.
int32_t CreateTextLex(const char* fileName, int32_t type, int32_t language,
                      std::unique_ptr<TextLex>& out);

// Writes the lexicon to fileName through a temporary file in the same folder
// that replaces the target only when completely written. Returns 0 or
// ERR_FILE_OPEN; on failure the target is left as it was.
int32_t SaveTextLex(const TextLex& lex, const char* fileName);

// Releases a lexicon and its arrays. Returns 0.
int32_t FreeTextLex(std::unique_ptr<TextLex>& lex);

// Splits a header line into language, type and count: 0 or ERR_BAD_FORMAT
// when the line ends right after the language or right after the type. A
// missing or negative count gives 0.
int32_t ParseLexHeader(const char* line, int32_t& language, int32_t& type, int32_t& count);

// Skips white space from position, copies at most HEADER_TOKEN_MAX non-space
// bytes into token (HEADER_TOKEN_MAX + 1 bytes) and returns the position
// where it stopped.
const char* ReadHeaderToken(const char* position, char* token);

// ---- Entries -------------------------------------------------------------

// The binary search for word under the caseless order: the position of an
// entry that compares equal, or ERR_NOT_FOUND.
int32_t SearchTextLex(const TextLex& lex, const char* word);

// Looks word up; for Change and Suggest with size > 0 copies at most size - 1
// bytes of the other word into buffer and fills the rest of its size bytes
// with NUL. Returns 0 or ERR_NOT_FOUND.
int32_t FindInTextLex(const TextLex& lex, const char* word, char* buffer, int32_t size);

// Inserts word (and for Change and Suggest otherWord), each cut to WORD_MAX
// characters, at its place in caseless order. A word already present is left
// with its other word and the call returns 0. Returns 0 or ERR_NO_MEMORY.
int32_t AddToTextLex(TextLex& lex, const char* word, const char* otherWord);

// Removes the entry matching word under the caseless order: 0 or
// ERR_NOT_FOUND. Capacity stays.
int32_t DeleteFromTextLex(TextLex& lex, const char* word);

// Removes every entry; capacity and arrays stay. Returns 0.
int32_t ClearTextLex(TextLex& lex);

// The bytes ListTextLex writes, into size. Returns 0.
int32_t GetTextLexSize(const TextLex& lex, int32_t& size);

// Writes the entries as consecutive NUL-terminated strings ("word" or
// "word:other") ended by an empty string: the number of entries, or
// ERR_BUFFER_TOO_SMALL when size is below GetTextLexSize (nothing written).
int32_t ListTextLex(const TextLex& lex, char* buffer, uint32_t size);

// Calls visitor(target, word, context) for each entry in stored order. Returns
// the first result of 0 or less, or 1 when every word was visited.
int32_t ForEachTextLexWord(const TextLex& lex, TextLexVisitor visitor, const char* target,
                           void* context);

// Adds TEXT_LEX_GROW_STEP slots to both arrays: 0, or ERR_NO_MEMORY with the
// lexicon unchanged when an array would exceed TEXT_LEX_MAX_BYTES.
int32_t GrowTextLex(TextLex& lex);

// ---- Shared by the two source files --------------------------------------

// A zeroed array of capacity word slots, or null when memory runs out.
std::unique_ptr<char[]> AllocateTextLexSlots(uint32_t capacity);

// Stores text in a slot, cut to WORD_MAX bytes, NUL-terminated.
void StoreTextLexWord(char* slot, const char* text);

}  // namespace orth
