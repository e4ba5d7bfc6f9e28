// The phonetic search: every word of a session's lexicons whose phonetic key
// equals the key of a given word, listed once each, in the order the
// lexicons are scanned, into the caller's buffer.
#pragma once

#include <cstdint>

#include "lex/compressed_lex.h"
#include "lex/text_lex.h"
#include "orth.h"

namespace orth {

struct Session;

// Bytes of a key field: a key is never longer than its word, and a decoded
// word has at most 31 characters.
inline constexpr size_t PHON_KEY_FIELD_SIZE = 32;

// The output of one search, written into the caller's buffer: consecutive
// NUL-terminated words ended by an empty string. A word is appended only when
// one byte still remains after its NUL for that empty string.
struct PhonList {
  char* buffer = nullptr;  // the caller's buffer; null only with size 0
  uint32_t size = 0;       // the caller's buffer size in bytes
  uint32_t used = 0;       // bytes taken by the words appended, each with its NUL
  bool overflow = false;   // a matching word did not fit
  // The key of the target it was last given, so a search keys its target
  // once; a list serves the searches of one target.
  const char* keyedTarget = nullptr;
  char targetKey[PHON_KEY_FIELD_SIZE] = {};
};

// Called with (target, candidate, PhonList*) for each lexicon word.
using PhonVisitor = TextLexVisitor;

// What the compressed scan's section visitor needs besides the target and the
// decoded word: made by each scan and handed to the decoder, so that scans on
// different threads share nothing.
struct PhonScanContext {
  PhonVisitor visitor = nullptr;
  PhonList* output = nullptr;
};

// Lists candidate when its key equals the target's and it is not listed yet
// (caseless): 1 to go on, or ERR_BUFFER_TOO_SMALL with the list's overflow
// set when it does not fit. list is a PhonList*.
int32_t PhonVisitWord(const char* target, const char* candidate, void* list);

// Offers the short words (table order), then the words of every section
// (ascending positions), of a compressed lexicon to visitor. A section that
// cannot be made resident is passed over; an overflow stops only the current
// section. Returns 0.
int32_t PhonFromCompressedLex(PhonVisitor visitor, const char* target, PhonList& list,
                              CompressedLex& lex);

// The search of ORTH_PhonSearch after the session check: the number of words
// listed, or ERR_BUFFER_TOO_SMALL. A null word counts as empty; a null buffer
// is not written.
int32_t PhonSearch(Session& session, const char* word, char* buffer, uint32_t bufferSize);

}  // namespace orth
