// The suggestion search over a session: its lexicons in slot order, the
// split words, and the written answer.
#include "suggest/suggest_search.h"

#include <algorithm>
#include <cstring>

#include "check/word_check.h"
#include "lex/lex_slot.h"
#include "orth.h"
#include "session/session_table.h"
#include "suggest/similarity.h"
#include "text/char_table.h"
#include "text/normalize.h"

namespace orth {
namespace {

// Room for a restored suggestion: a kept word of WORD_MAX characters gains at
// most two in front and two at the end, and its NUL.
constexpr size_t RESTORED_WORD_SIZE = WORD_MAX + 3;
static_assert(RESTORED_WORD_SIZE >= 33);

// Whether a part of a split word is a word the session knows. A part that
// normalises to nothing (an apostrophe alone, or an apostrophe and a letter)
// is not a word, although the word check has nothing to report about it.
bool IsKnownPart(Session& session, const char* part) {
  char normalized[WORD_MAX + 1];
  if (NormalizeWord(part, normalized) == 0) return false;
  char scratch[WORD_MAX + 1];
  const int32_t findings = CheckWord(session, OPT_REPORT_MISSPELLED, part, scratch, sizeof scratch);
  if ((findings & RES_MISSPELLED) != 0) return false;
  // A word only a check-only list holds is not offered, not even as a part;
  // without such a list the check has settled it.
  const auto& slots = session.lexicons;
  if (std::none_of(slots.begin(), slots.end(), [](const std::unique_ptr<LexSlot>& slot) {
        return slot && !OffersSuggestions(*slot);
      })) {
    return true;
  }
  return std::any_of(slots.begin(), slots.end(), [&](const std::unique_ptr<LexSlot>& slot) {
    return slot && OffersSuggestions(*slot) &&
           LookupInLexSlot(*slot, normalized, scratch, sizeof scratch) != ERR_NOT_FOUND;
  });
}

}  // namespace

void SuggestFromTextLex(const TextLex& lex, const char* word, CandidateList& list) {
  if (lex.type == LEX_TYPE_ACCEPT) {
    for (uint32_t i = 0; i < lex.count; ++i) {
      const char* entry = lex.WordAt(i);
      const int32_t score = ScoreSimilarity(word, entry);
      if (score > 0) OfferCandidate(list, entry, score);
    }
    return;
  }
  if ((lex.type != LEX_TYPE_CHANGE && lex.type != LEX_TYPE_SUGGEST) || !lex.HasOthers()) return;
  const int32_t position = SearchTextLex(lex, word);
  if (position < 0) return;
  // An empty other word would end the caller's list early.
  const char* other = lex.OtherAt(static_cast<uint32_t>(position));
  if (other[0] != '\0') OfferCandidate(list, other, OTHER_WORD_SCORE);
}

void SuggestSplitWords(Session& session, const char* word, CandidateList& list) {
  const size_t length = std::strlen(word);
  if (length > WORD_MAX) return;  // a normalised word never is
  char first[WORD_MAX + 1];
  // Two parts and the space between them: at most WORD_MAX + 1 characters.
  char joined[WORD_MAX + 2];
  for (size_t cut = 1; cut < length; ++cut) {
    std::memcpy(first, word, cut);
    first[cut] = '\0';
    const char* second = word + cut;
    if (!IsKnownPart(session, first) || !IsKnownPart(session, second)) continue;
    std::memcpy(joined, word, cut);
    joined[cut] = ' ';
    std::memcpy(joined + cut + 1, second, length - cut + 1);
    OfferCandidate(list, joined, ScoreSimilarity(word, joined));
  }
}

namespace {

// Gives a suggestion written in the caller's case pattern the upper-case
// letters of its dictionary form. The word's characters are found in it
// after the elision RestoreCase may have put in front.
void AddCaseForm(Session& session, const char* word, char* restored) {
  const size_t length = std::strlen(word);
  if (length == 0 || std::strchr(word, ' ') != nullptr) return;
  const char* form = RequiredCaseForm(session, word, length);
  if (form == nullptr) return;
  const size_t restoredLength = std::strlen(restored);
  for (size_t start = 0; start <= 2 && start + length <= restoredLength; ++start) {
    size_t i = 0;
    while (i < length && ToLowerChar(static_cast<unsigned char>(restored[start + i])) ==
                             static_cast<unsigned char>(word[i])) {
      ++i;
    }
    if (i < length) continue;
    for (i = 0; i < length; ++i) {
      if (IsUpper(static_cast<unsigned char>(form[i]))) restored[start + i] = form[i];
    }
    return;
  }
}

}  // namespace

int32_t WriteSuggestions(const CandidateList& list, const char* callerWord, char* buffer,
                         uint32_t bufferSize, int32_t* scores, Session* caseSession) {
  if (buffer == nullptr) bufferSize = 0;
  uint64_t used = 0;
  for (size_t i = 0; i < list.entries.size(); ++i) {
    const Candidate& entry = list.entries[i];
    char restored[RESTORED_WORD_SIZE] = {};
    std::memcpy(restored, entry.word, sizeof entry.word);
    RestoreCase(callerWord, restored);
    if (caseSession != nullptr) AddCaseForm(*caseSession, entry.word, restored);
    const size_t length = std::strlen(restored);
    // The word's NUL and one byte for the final empty string must fit.
    if (used + length + 1 >= bufferSize) return ERR_BUFFER_TOO_SMALL;
    // Everything after the first word is cleared once; later words only
    // overwrite cleared bytes, so the buffer ends in NULs throughout.
    if (used == 0) std::memset(buffer, 0, bufferSize);
    std::memcpy(buffer + used, restored, length);
    if (scores != nullptr) scores[i] = entry.score;
    used += length + 1;
  }
  return 0;
}

int32_t SuggestCorrections(Session& session, const char* word, int32_t level, char* buffer,
                           uint32_t bufferSize, int32_t* scores, int32_t maxCount) {
  if (word == nullptr) word = "";
  if (buffer == nullptr) bufferSize = 0;
  if (bufferSize > 0) buffer[0] = '\0';

  char normalized[WORD_MAX + 1] = {};
  if (NormalizeWord(word, normalized) == 0) return 0;
  if (maxCount < 0) return ERR_NO_MEMORY;
  CandidateList list = CreateCandidateList(static_cast<uint32_t>(maxCount));

  char scratch[WORD_MAX + 1];
  for (const std::unique_ptr<LexSlot>& slot : session.lexicons) {
    if (!slot) continue;
    if (!OffersSuggestions(*slot)) {
      // A check-only list offers nothing but the typed word itself.
      if (LookupInLexSlot(*slot, normalized, scratch, sizeof scratch) == 0) {
        OfferCandidate(list, normalized, ScoreSimilarity(normalized, normalized));
      }
      continue;
    }
    if (slot->format == LEX_FORMAT_COMPRESSED && slot->compressed) {
      SuggestFromCompressedLex(*slot->compressed, level, normalized, list);
    } else if (slot->format == LEX_FORMAT_TEXT && slot->text) {
      SuggestFromTextLex(*slot->text, normalized, list);
    }
  }
  SuggestSplitWords(session, normalized, list);
  return WriteSuggestions(list, word, buffer, bufferSize, scores);
}

}  // namespace orth
