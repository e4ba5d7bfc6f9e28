// The phonetic search over the lexicons of a session.
#include "phonetic/phonetic_search.h"

#include <cstring>

#include "lex/section_cache.h"
#include "lex/section_decoder.h"
#include "phonetic/phonetic_key.h"
#include "session/session_table.h"
#include "text/char_table.h"
#include "text/normalize.h"

namespace orth {

namespace {

// The section decoder's visitor: hands the decoded word on through the scan
// context.
int32_t VisitDecodedWord(void* context, const char* target, const char* word) {
  const PhonScanContext& scan = *static_cast<const PhonScanContext*>(context);
  return scan.visitor(target, word, scan.output);
}

// Whether candidate is among the words already listed (caseless).
bool IsListed(const PhonList& list, const char* candidate) {
  uint32_t offset = 0;
  while (offset < list.used) {
    const char* listed = list.buffer + offset;
    if (CompareCaseless(listed, candidate) == 0) return true;
    offset += static_cast<uint32_t>(std::strlen(listed)) + 1;
  }
  return false;
}

// The number of words listed: the NULs in the used part of the buffer.
int32_t CountListed(const PhonList& list) {
  int32_t count = 0;
  for (uint32_t i = 0; i < list.used; ++i) {
    if (list.buffer[i] == '\0') ++count;
  }
  return count;
}

}  // namespace

int32_t PhonVisitWord(const char* target, const char* candidate, void* context) {
  PhonList& list = *static_cast<PhonList*>(context);
  if (candidate == nullptr) return 1;
  if (list.keyedTarget != target || target == nullptr) {
    PhoneticKey(target, list.targetKey, sizeof list.targetKey);
    list.keyedTarget = target;
  }
  char candidateKey[PHON_KEY_FIELD_SIZE];
  PhoneticKey(candidate, candidateKey, sizeof candidateKey);
  if (CompareCaseless(list.targetKey, candidateKey) != 0) return 1;
  // Each word is listed once, in the form in which it was found first.
  if (IsListed(list, candidate)) return 1;

  const uint64_t need = std::strlen(candidate) + 1;
  if (list.used + need >= list.size) {
    list.overflow = true;
    return ERR_BUFFER_TOO_SMALL;
  }
  std::memcpy(list.buffer + list.used, candidate, need);
  list.used += static_cast<uint32_t>(need);
  // The rest of the buffer holds NULs, so the list is always well formed.
  std::memset(list.buffer + list.used, 0, list.size - list.used);
  return 1;
}

int32_t PhonFromCompressedLex(PhonVisitor visitor, const char* target, PhonList& list,
                              CompressedLex& lex) {
  PhonScanContext scan{visitor, &list};

  // Words of one or two characters live only in the short-word table.
  const uint32_t shortCount = lex.shortWordCount < lex.shortWords.size()
                                  ? lex.shortWordCount
                                  : static_cast<uint32_t>(lex.shortWords.size());
  for (uint32_t i = 0; i < shortCount; ++i) {
    const ShortWord& entry = lex.shortWords[i];
    const char word[3] = {static_cast<char>(entry[0]), static_cast<char>(entry[1]), '\0'};
    visitor(target, word, &list);
  }

  for (int32_t position = 0; position < SECTION_INDEX_SIZE; ++position) {
    const LexSection* section = lex.sections[position].get();
    if (section == nullptr) continue;
    if (LoadSection(lex, position) != 0) continue;
    // An overflow stops this section only: later sections may still hold
    // matching words short enough to fit.
    DecodeSection(*section, target, false, SectionVisit{VisitDecodedWord, &scan}, lex.tokens);
  }
  return 0;
}

int32_t PhonSearch(Session& session, const char* word, char* buffer, uint32_t bufferSize) {
  if (buffer == nullptr) bufferSize = 0;
  if (bufferSize > 0) buffer[0] = '\0';
  if (word == nullptr) word = "";

  char target[WORD_MAX + 1];
  if (NormalizeWord(word, target) == 0) return 0;

  PhonList list;
  list.buffer = buffer;
  list.size = bufferSize;

  for (const auto& slot : session.lexicons) {
    if (list.overflow) break;
    if (slot == nullptr || !OffersSuggestions(*slot)) continue;
    if (slot->format == LEX_FORMAT_COMPRESSED && slot->compressed != nullptr) {
      PhonFromCompressedLex(PhonVisitWord, target, list, *slot->compressed);
    } else if (slot->format == LEX_FORMAT_TEXT && slot->text != nullptr) {
      const int32_t r = ForEachTextLexWord(*slot->text, PhonVisitWord, target, &list);
      if (r < 0) return r;
    }
  }
  if (list.overflow) return ERR_BUFFER_TOO_SMALL;
  return CountListed(list);
}

}  // namespace orth
