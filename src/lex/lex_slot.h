// Lexicon slots: one record per open lexicon of a session, the probe that
// decides an existing file's format, and the per-slot lookup the word check
// asks.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "lex/compressed_lex.h"
#include "lex/text_lex.h"

namespace orth {

struct Session;

// Longest file name a slot keeps; a longer one is refused at open and create,
// since a cut name would make a later save write to another file.
inline constexpr size_t LEX_FILE_NAME_MAX = 259;

// One open lexicon. Exactly one of the two contents is set, as format says.
struct LexSlot {
  int32_t format = LEX_FORMAT_TEXT;           // LEX_FORMAT_COMPRESSED or LEX_FORMAT_TEXT
  int32_t type = LEX_TYPE_ACCEPT;             // LEX_TYPE_*; a compressed lexicon accepts
  int32_t language = 0;                       // stored and reported, never interpreted
  std::string fileName;                       // empty: the lexicon has no file
  std::unique_ptr<TextLex> text;              // content of a text lexicon
  std::unique_ptr<CompressedLex> compressed;  // content of a compressed lexicon
  int32_t modified = 0;                       // changed since opened or created
  uint32_t options = 0;                       // LEXOPT_* bits
};

// Whether the suggesters may offer the slot's words.
inline bool OffersSuggestions(const LexSlot& slot) {
  return (slot.options & LEXOPT_CHECK_ONLY) == 0;
}

// Decides the format of an existing file and fills the slot's format, type
// and language: the text probe first; only a file that is no text lexicon is
// probed as compressed. Returns 0, ERR_FILE_OPEN or ERR_BAD_FORMAT.
int32_t ProbeLexFile(const char* fileName, LexSlot& slot);

// Looks an already normalised word up in one lexicon: 0 (accepted),
// RES_CHANGE_WORD or RES_SUGGEST_WORD (the other word copied into buffer, at
// most size - 1 characters and a NUL; nothing when size is 0), or
// ERR_NOT_FOUND.
int32_t LookupInLexSlot(LexSlot& slot, const char* word, char* buffer, uint32_t size);

// The lexicon operations of a session, after the session and lexicon checks.
int32_t CreateLex(Session& session, const char* fileName, int32_t type, int32_t language);
int32_t OpenLex(Session& session, const char* fileName, int32_t cacheBudget);
// Saves a modified text lexicon that has a file, then frees the slot. A failed
// save returns ERR_FILE_OPEN and leaves the lexicon open and modified.
int32_t CloseLexSlot(Session& session, int32_t lex);
int32_t AddToLex(LexSlot& slot, const char* word, const char* otherWord);
int32_t DeleteFromLex(LexSlot& slot, const char* word);
int32_t ClearLex(LexSlot& slot);
int32_t GetLexInfo(const LexSlot& slot, int32_t* size, int32_t* format, int32_t* type,
                   int32_t* language);
int32_t ListLex(const LexSlot& slot, char* buffer, uint32_t size);
// Sets the slot's LEXOPT_* bits; ERR_BAD_FORMAT for an unknown bit.
int32_t SetLexOptions(LexSlot& slot, uint32_t options);

}  // namespace orth
