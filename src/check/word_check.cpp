#include "check/word_check.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "lex/case_forms.h"
#include "lex/compressed_lex.h"
#include "lex/compressed_lookup.h"
#include "lex/lex_slot.h"
#include "orth.h"
#include "session/session_table.h"
#include "text/char_table.h"
#include "text/normalize.h"

namespace orth {
namespace {

const unsigned char* Bytes(const char* s) {
  return reinterpret_cast<const unsigned char*>(s);
}

bool HasNonLetter(const char* word) {
  for (const unsigned char* p = Bytes(word); *p != 0; ++p) {
    if (*p != APOSTROPHE && !IsLetter(*p)) return true;
  }
  return false;
}

// A lookup answer counts as not found exactly when its lowest bit is set: the
// not-found code and RES_MISSPELLED both have it.
bool IsNotFound(int32_t answer) {
  return (answer & 1) != 0;
}

// The word counts as spelled correctly when every piece of it, cut after each
// apostrophe (the apostrophe ends its piece), is known: «jusqu'ici» needs
// «jusqu'» and «ici».
bool AllApostrophePiecesKnown(Session& session, const char* normalized) {
  const char* piece = normalized;
  while (*piece != '\0') {
    const char* end = std::strchr(piece, '\'');
    const size_t len = end != nullptr ? static_cast<size_t>(end - piece) + 1 : std::strlen(piece);
    char word[WORD_MAX + 1];
    std::memcpy(word, piece, len);
    word[len] = '\0';
    char scratch[WORD_MAX + 1];
    if (LookupInSession(session, word, scratch, sizeof scratch) == RES_MISSPELLED) return false;
    piece += len;
  }
  return true;
}

// Writes into buffer (size > 0) the word with the characters of its look-up
// form, from `start` on, replaced by the dictionary's form: «debian's» gives
// «Debian's». Cut to size - 1 characters, NULs up to the end.
void WriteInCaseForm(const char* word, size_t start, const char* form, size_t length, char* buffer,
                     uint32_t size) {
  std::string written(word, start);
  written.append(form, length);
  written.append(word + start + length);
  const size_t kept = std::min<size_t>(written.size(), size - 1);
  std::memcpy(buffer, written.data(), kept);
  std::memset(buffer + kept, 0, size - kept);
}

}  // namespace

const char* RequiredCaseForm(Session& session, const char* normalized, size_t length,
                             int32_t holder) {
  // Almost every word is held by the lexicon that answered the lookup
  // without a rule, which settles it: one probe.
  if (holder >= 0 && holder < MAX_LEXICONS && session.lexicons[holder]) {
    LexSlot& slot = *session.lexicons[holder];
    if (slot.format != LEX_FORMAT_COMPRESSED || !slot.compressed) return nullptr;
    const CaseForms* forms = CaseFormsOf(*slot.compressed, slot.fileName);
    if (forms == nullptr || FindCaseForm(*forms, normalized, length) == nullptr) return nullptr;
  }
  // Else one probe per dictionary.
  const char* form = nullptr;
  for (const auto& slot : session.lexicons) {
    if (!slot || slot->format != LEX_FORMAT_COMPRESSED || !slot->compressed) continue;
    const CaseForms* forms = CaseFormsOf(*slot->compressed, slot->fileName);
    if (forms != nullptr && (form = FindCaseForm(*forms, normalized, length)) != nullptr) break;
  }
  if (form == nullptr) return nullptr;
  // A lexicon that holds the word without a rule lets it be written in any
  // case: a personal list's «debian», a dictionary without case forms.
  char scratch[WORD_MAX + 1];
  for (const auto& slot : session.lexicons) {
    if (!slot) continue;
    if (slot->format == LEX_FORMAT_COMPRESSED && slot->compressed) {
      const CaseForms* forms = CaseFormsOf(*slot->compressed, slot->fileName);
      if (forms != nullptr && FindCaseForm(*forms, normalized, length) != nullptr) continue;
      if (FindInCompressedLex(normalized, *slot->compressed) == 0) return nullptr;
    } else if (slot->type == LEX_TYPE_ACCEPT &&
               LookupInLexSlot(*slot, normalized, scratch, sizeof scratch) == 0) {
      return nullptr;
    }
  }
  return form;
}

bool IsMixedCase(const char* word) {
  const unsigned char* w = Bytes(word);
  if (w[0] == 0) return false;
  for (size_t i = 1; w[i] != 0; ++i) {
    if (w[i] == APOSTROPHE) continue;
    if ((IsUpper(w[i]) && IsLower(w[i + 1])) || (IsLower(w[i]) && IsUpper(w[i + 1]))) return true;
  }
  return false;
}

int32_t LookupInSession(Session& session, const char* normalized, char* buffer, uint32_t size,
                        int32_t* answered) {
  if (answered != nullptr) *answered = -1;
  for (int32_t i = 0; i < MAX_LEXICONS; ++i) {
    const auto& slot = session.lexicons[i];
    if (!slot) continue;
    const int32_t answer = LookupInLexSlot(*slot, normalized, buffer, size);
    if (IsNotFound(answer)) continue;
    if (answered != nullptr) *answered = i;
    return answer;
  }
  return RES_MISSPELLED;
}

int32_t CheckWord(Session& session, uint32_t options, const char* word, char* buffer,
                  uint32_t size) {
  if (word == nullptr) word = "";
  if (buffer == nullptr) size = 0;
  const unsigned char first = Bytes(word)[0];
  // Only the two mixed-case options look at it: a plain check does not
  // spend a pass over the word on it.
  const bool mixedCase =
      (options & (OPT_IGNORE_MIXED_CASE | OPT_REPORT_MIXED_CASE)) != 0 && IsMixedCase(word);
  int32_t findings = 0;

  char normalized[WORD_MAX + 1];
  if (NormalizeWord(word, normalized) == 0) return 0;

  if (size > 0) {
    // The word, cut to size - 1 characters, with NULs up to the end.
    const size_t len = strnlen(word, size - 1);
    std::memcpy(buffer, word, len);
    std::memset(buffer + len, 0, size - len);
  }
  if ((options & OPT_IGNORE_CAPITALIZED) && IsUpper(first)) return 0;
  if ((options & OPT_IGNORE_MIXED_CASE) && mixedCase) return 0;
  if ((options & OPT_IGNORE_NON_ALPHA) && HasNonLetter(word)) return 0;

  unsigned char* b = reinterpret_cast<unsigned char*>(buffer);
  if (options & OPT_REPORT_UNCAPITALIZED) {
    if (!IsUpper(first)) findings |= RES_UNCAPITALIZED;
    if (size > 0 && IsLower(b[0])) b[0] = ToUpperChar(b[0]);
  }
  if ((options & OPT_REPORT_MIXED_CASE) && mixedCase) {
    findings |= RES_MIXED_CASE;
    if (size > 0) {
      for (unsigned char* p = b; *p != 0; ++p) *p = ToLowerChar(*p);
      if (IsUpper(first) && IsLower(b[0])) b[0] = ToUpperChar(b[0]);
    }
  }
  // Case rules hold for a word known whole, not one accepted piece by piece
  // or through a change or suggest list.
  bool knownWhole = true;
  int32_t holder = -1;
  if (options & OPT_REPORT_MISSPELLED) {
    const int32_t answer = LookupInSession(session, normalized, buffer, size, &holder);
    knownWhole = answer == 0;
    if (IsNotFound(answer) && (options & OPT_SPLIT_AT_APOSTROPHE)) {
      if (!AllApostrophePiecesKnown(session, normalized)) findings |= RES_MISSPELLED;
    } else {
      findings |= answer;
    }
  }
  if ((options & OPT_REPORT_WRONG_CASE) && knownWhole) {
    const size_t length = std::strlen(normalized);
    const size_t start = NormalizedStart(word);
    const char* form = RequiredCaseForm(session, normalized, length, holder);
    if (form != nullptr && !FitsCaseForm(word + start, form, length)) {
      findings |= RES_WRONG_CASE;
      if (size > 0) {
        WriteInCaseForm(word, start, form, length, buffer, size);
        if ((options & OPT_REPORT_UNCAPITALIZED) && IsLower(b[0])) b[0] = ToUpperChar(b[0]);
      }
    }
  }
  if ((findings & RES_MISSPELLED) && (options & OPT_REPORT_NON_ALPHA) && HasNonLetter(word)) {
    findings |= RES_NON_ALPHA;
  }
  return findings;
}

}  // namespace orth
