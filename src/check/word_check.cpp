#include "check/word_check.h"

#include <cstring>

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

}  // namespace

bool IsMixedCase(const char* word) {
  const unsigned char* w = Bytes(word);
  if (w[0] == 0) return false;
  for (size_t i = 1; w[i] != 0; ++i) {
    if (w[i] == APOSTROPHE) continue;
    if ((IsUpper(w[i]) && IsLower(w[i + 1])) || (IsLower(w[i]) && IsUpper(w[i + 1]))) return true;
  }
  return false;
}

int32_t LookupInSession(Session& session, const char* normalized, char* buffer, uint32_t size) {
  for (const auto& slot : session.lexicons) {
    if (!slot) continue;
    const int32_t answer = LookupInLexSlot(*slot, normalized, buffer, size);
    if (!IsNotFound(answer)) return answer;
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
  if (options & OPT_REPORT_MISSPELLED) {
    const int32_t answer = LookupInSession(session, normalized, buffer, size);
    if (IsNotFound(answer) && (options & OPT_SPLIT_AT_APOSTROPHE)) {
      if (!AllApostrophePiecesKnown(session, normalized)) findings |= RES_MISSPELLED;
    } else {
      findings |= answer;
    }
  }
  if ((findings & RES_MISSPELLED) && (options & OPT_REPORT_NON_ALPHA) && HasNonLetter(word)) {
    findings |= RES_NON_ALPHA;
  }
  return findings;
}

}  // namespace orth
