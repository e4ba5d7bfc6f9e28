#include "lex/lex_slot.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "lex/compressed_lookup.h"
#include "orth.h"
#include "session/session_table.h"
#include "text/normalize.h"

namespace orth {
namespace {

// The lowest free lexicon slot of a session, or -1.
int32_t FindFreeLexSlot(const Session& session) {
  for (int32_t i = 0; i < MAX_LEXICONS; ++i) {
    if (!session.lexicons[i]) return i;
  }
  return -1;
}

// Whether an entry would read back from the lexicon's file as it was added:
// a line end would split it, a leading '#' would make it a comment, and in a
// lexicon with other words a ':' in the word would move the split.
bool SurvivesSaving(const char* normalized, const char* otherWord, int32_t type) {
  if (normalized[0] == '#' || std::strpbrk(normalized, "\r\n") != nullptr) return false;
  if (type == LEX_TYPE_ACCEPT) return true;
  return std::strchr(normalized, ':') == nullptr && std::strpbrk(otherWord, "\r\n") == nullptr;
}

bool NameTooLong(const char* fileName) {
  return fileName != nullptr && strnlen(fileName, LEX_FILE_NAME_MAX + 1) > LEX_FILE_NAME_MAX;
}

}  // namespace

int32_t ProbeLexFile(const char* fileName, LexSlot& slot) {
  slot.format = LEX_FORMAT_TEXT;
  const int32_t text = ProbeTextLex(fileName, slot.type, slot.language);
  if (text != ERR_BAD_FORMAT) return text;
  slot.format = LEX_FORMAT_COMPRESSED;
  return ProbeCompressedLex(fileName, slot.type, slot.language);
}

int32_t LookupInLexSlot(LexSlot& slot, const char* word, char* buffer, uint32_t size) {
  if (slot.format == LEX_FORMAT_COMPRESSED) return FindInCompressedLex(word, *slot.compressed);
  const auto clamped = static_cast<int32_t>(std::min<uint32_t>(size, INT32_MAX));
  if (FindInTextLex(*slot.text, word, buffer, clamped) != 0) return ERR_NOT_FOUND;
  switch (slot.type) {
    case LEX_TYPE_CHANGE:
      return RES_CHANGE_WORD;
    case LEX_TYPE_SUGGEST:
      return RES_SUGGEST_WORD;
    default:
      return 0;
  }
}

int32_t CreateLex(Session& session, const char* fileName, int32_t type, int32_t language) {
  if (type < LEX_TYPE_CHANGE || type > LEX_TYPE_SUGGEST) return ERR_BAD_FORMAT;
  const int32_t index = FindFreeLexSlot(session);
  if (index < 0) return ERR_TOO_MANY_LEXICONS;
  if (NameTooLong(fileName)) return ERR_FILE_OPEN;
  std::unique_ptr<LexSlot> slot(new (std::nothrow) LexSlot());
  if (!slot) return ERR_NO_MEMORY;
  slot->format = LEX_FORMAT_TEXT;
  slot->type = type;
  slot->language = language;
  if (fileName != nullptr) slot->fileName = fileName;
  const int32_t result = CreateTextLex(fileName, type, language, slot->text);
  if (result != 0) return result;
  session.lexicons[index] = std::move(slot);
  return index;
}

int32_t OpenLex(Session& session, const char* fileName, int32_t cacheBudget) {
  const int32_t index = FindFreeLexSlot(session);
  if (index < 0) return ERR_TOO_MANY_LEXICONS;
  if (fileName == nullptr || NameTooLong(fileName)) return ERR_FILE_OPEN;
  std::unique_ptr<LexSlot> slot(new (std::nothrow) LexSlot());
  if (!slot) return ERR_NO_MEMORY;
  int32_t result = ProbeLexFile(fileName, *slot);
  if (result != 0) return result;
  if (slot->format == LEX_FORMAT_COMPRESSED) {
    result = OpenCompressedLex(fileName, cacheBudget, slot->compressed);
  } else {
    result = LoadTextLex(fileName, slot->text);
  }
  if (result != 0) return result;
  slot->fileName = fileName;
  session.lexicons[index] = std::move(slot);
  return index;
}

int32_t CloseLexSlot(Session& session, int32_t lex) {
  LexSlot& slot = *session.lexicons[lex];
  if (slot.modified != 0 && slot.format == LEX_FORMAT_TEXT && !slot.fileName.empty()) {
    const int32_t saved = SaveTextLex(*slot.text, slot.fileName.c_str());
    if (saved != 0) return saved;
  }
  if (slot.compressed) CloseCompressedLex(std::move(slot.compressed));
  if (slot.text) FreeTextLex(slot.text);
  session.lexicons[lex].reset();
  return 0;
}

int32_t AddToLex(LexSlot& slot, const char* word, const char* otherWord) {
  if (slot.format != LEX_FORMAT_TEXT) return ERR_LEX_READ_ONLY;
  if (slot.type != LEX_TYPE_ACCEPT && otherWord == nullptr) return ERR_OTHER_WORD_MISSING;
  // An entry with nothing in it would end the lexicon's listing early.
  char normalized[WORD_MAX + 1];
  if (NormalizeWord(word != nullptr ? word : "", normalized) == 0) return ERR_BAD_FORMAT;
  if (!SurvivesSaving(normalized, otherWord, slot.type)) return ERR_BAD_FORMAT;
  const int32_t result = AddToTextLex(*slot.text, normalized, otherWord);
  if (result != 0) return result;
  slot.modified = 1;
  return 0;
}

int32_t DeleteFromLex(LexSlot& slot, const char* word) {
  if (slot.format != LEX_FORMAT_TEXT) return ERR_LEX_READ_ONLY;
  const int32_t result = DeleteFromTextLex(*slot.text, word != nullptr ? word : "");
  if (result != 0) return result;
  slot.modified = 1;
  return 0;
}

int32_t ClearLex(LexSlot& slot) {
  if (slot.format != LEX_FORMAT_TEXT) return ERR_LEX_READ_ONLY;
  ClearTextLex(*slot.text);
  slot.modified = 1;
  return 0;
}

int32_t GetLexInfo(const LexSlot& slot, int32_t* size, int32_t* format, int32_t* type,
                   int32_t* language) {
  if (format != nullptr) *format = slot.format;
  if (type != nullptr) *type = slot.type;
  if (language != nullptr) *language = slot.language;
  if (size != nullptr) {
    *size = 0;
    if (slot.format == LEX_FORMAT_TEXT) GetTextLexSize(*slot.text, *size);
  }
  return 0;
}

int32_t ListLex(const LexSlot& slot, char* buffer, uint32_t size) {
  if (slot.format != LEX_FORMAT_TEXT) return ERR_LEX_NOT_LISTABLE;
  return ListTextLex(*slot.text, buffer, buffer == nullptr ? 0 : size);
}

int32_t SetLexOptions(LexSlot& slot, uint32_t options) {
  if ((options & ~LEXOPT_CHECK_ONLY) != 0) return ERR_BAD_FORMAT;
  slot.options = options;
  return 0;
}

}  // namespace orth
