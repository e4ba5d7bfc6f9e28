// The suggestion search: candidates from every open lexicon of a session and
// from splitting the word in two, ranked in a CandidateList and written out
// in the case pattern of the caller's word.
//
// Order of offers (equal scores keep it, so it is part of the result):
// lexicon slots in ascending order; within a compressed lexicon its short
// words in table order, then the level scans in the order run, positions in
// ascending order and words in stored order; within a text lexicon its
// entries in stored order; the split words last, by ascending cut.
#pragma once

#include <cstdint>

#include "lex/compressed_lex.h"
#include "lex/text_lex.h"
#include "suggest/candidate_list.h"

namespace orth {

struct Session;

// Score of a text lexicon's replacement or suggested word: above every
// similarity but a perfect one.
inline constexpr int32_t OTHER_WORD_SCORE = 99;

// Levels of a compressed lexicon scan. 0: the sections of the word's first
// two letters, of the two swapped and of the first and third letter (each by
// base letter, so every accented variant too), only the records of the
// word's third letter; 1: those sections whole; 2: every section of the
// first letter and the swapped pair; 3: the whole lexicon.
inline constexpr int32_t SUGGEST_LEVEL_MAX = 3;

// What the section visitor reaches besides the target and the decoded word:
// the state of one search, made by the call that runs it and handed to the
// decoder, so that searches on different threads share nothing.
struct SuggestScanContext {
  CandidateList* list = nullptr;  // where offers go; null: counted only
  uint32_t offered = 0;           // offers since the current level scan began
};

// The whole search behind ORTH_Suggest, after the session check. word may be
// null (nothing to suggest); buffer may be null (then it is never written);
// scores may be null (then no score is written). Returns 0, ERR_NO_MEMORY
// (maxCount negative; buffer holds the empty list) or ERR_BUFFER_TOO_SMALL
// (buffer holds the suggestions that fit, as a complete list). Throws
// std::bad_alloc when memory runs out.
int32_t SuggestCorrections(Session& session, const char* word, int32_t level, char* buffer,
                           uint32_t bufferSize, int32_t* scores, int32_t maxCount);

// Offers the short words of the lexicon, then runs the level scans: level
// SUGGEST_LEVEL_AUTO scans level 1, then 2 only if level 1 made no offer, then
// 3 only if level 2 made none; 0..3 scan that level alone; any other value
// scans nothing.
void SuggestFromCompressedLex(CompressedLex& lex, int32_t level, const char* word,
                              CandidateList& list);

// Offers every entry of the short-word table that scores above 0.
void ScoreShortWords(const CompressedLex& lex, const char* word, CandidateList& list);

// Decodes the sections that level (0..3) selects for word, in ascending
// position, offering their words to the context's list through
// OfferDecodedWord. A section that cannot be loaded is skipped. Returns the
// number of words that scored above 0, refused offers included.
uint32_t ScanSuggestLevel(CompressedLex& lex, const char* word, int32_t level,
                          SuggestScanContext& context);

// The section visitor of the scans (context: a SuggestScanContext): offers a
// decoded word that scores above 0 against the target and counts the offer.
// Always 1: go on.
int32_t OfferDecodedWord(void* context, const char* target, const char* decoded);

// Accept lexicons: offers every entry that scores above 0, in stored order.
// Change and Suggest lexicons: offers the other word of the entry for word
// itself with OTHER_WORD_SCORE, unless that other word is empty.
void SuggestFromTextLex(const TextLex& lex, const char* word, CandidateList& list);

// For each cut of word into two non-empty parts that both pass the word check
// (a part found in a Change or Suggest lexicon counts as found), offers the
// parts joined by one space, whatever it scores. A part that leaves nothing
// to check (an apostrophe alone) is not a word and fails the cut.
void SuggestSplitWords(Session& session, const char* word, CandidateList& list);

// Writes the list's words, each in the case pattern of callerWord, as
// consecutive NUL-terminated strings ended by an empty string, and their
// scores (when scores is not null). A word is written only when its NUL and
// one byte for the final empty string fit; the rest of the buffer after the
// last word written is NUL. With caseSession, a word its dictionaries give
// in capitals also gets their upper-case letters («debian» -> «Debian»).
// Returns 0 or ERR_BUFFER_TOO_SMALL.
int32_t WriteSuggestions(const CandidateList& list, const char* callerWord, char* buffer,
                         uint32_t bufferSize, int32_t* scores, Session* caseSession = nullptr);

}  // namespace orth
