// Suggestions from a compressed lexicon: its short words and the sections the
// search level selects, decoded through the section visitor.
#include <algorithm>
#include <cstring>

#include "lex/section_cache.h"
#include "lex/section_decoder.h"
#include "lex/section_format.h"
#include "lex/section_word_index.h"
#include "orth.h"
#include "suggest/similarity.h"
#include "suggest/suggest_search.h"
#include "text/char_table.h"

namespace orth {
namespace {

// The base letter of a word's character, or -1 for a byte without a letter
// code (the NUL after a short word included), which matches no position.
int32_t BaseOf(unsigned char c) {
  const int32_t code = LetterCodeOf(c);
  return code < 0 ? -1 : FoldLetterCode(code);
}

// The bases of a word's first three characters.
struct LeadingBases {
  int32_t first;
  int32_t second;
  int32_t third;
};

LeadingBases LeadingBasesOf(const char* word) {
  const auto* w = reinterpret_cast<const unsigned char*>(word);
  LeadingBases bases{BaseOf(w[0]), -1, -1};
  if (w[0] != 0) bases.second = BaseOf(w[1]);
  if (w[0] != 0 && w[1] != 0) bases.third = BaseOf(w[2]);
  return bases;
}

// Whether level selects the section at a position whose row and column have
// the bases row and column.
bool IsSelected(int32_t level, const LeadingBases& f, int32_t row, int32_t column) {
  switch (level) {
    case 0:
    case 1:
      return (row == f.first && column == f.second) || (row == f.second && column == f.first) ||
             (row == f.first && column == f.third);
    case 2:
      return row == f.first || (row == f.second && column == f.first);
    default:
      return true;
  }
}

}  // namespace

void ScoreShortWords(const CompressedLex& lex, const char* word, CandidateList& list) {
  const uint32_t count = std::min<uint32_t>(lex.shortWordCount, MAX_SHORT_WORDS);
  for (uint32_t i = 0; i < count; ++i) {
    const ShortWord& entry = lex.shortWords[i];
    const char candidate[SHORT_WORD_ENTRY_SIZE + 1] = {static_cast<char>(entry[0]),
                                                       static_cast<char>(entry[1]), '\0'};
    const int32_t score = ScoreSimilarity(word, candidate);
    if (score > 0) OfferCandidate(list, candidate, score);
  }
}

int32_t OfferDecodedWord(void* context, const char* target, const char* decoded) {
  SuggestScanContext& scanContext = *static_cast<SuggestScanContext*>(context);
  const int32_t score = ScoreSimilarity(target, decoded);
  if (score > 0) {
    if (scanContext.list != nullptr) OfferCandidate(*scanContext.list, decoded, score);
    ++scanContext.offered;
  }
  return 1;
}

uint32_t ScanSuggestLevel(CompressedLex& lex, const char* word, int32_t level,
                          SuggestScanContext& scanContext) {
  scanContext.offered = 0;
  const LeadingBases bases = LeadingBasesOf(word);
  const bool exact = level == 0;
  const uint32_t wordLength = static_cast<uint32_t>(std::strlen(word));
  for (int32_t position = 0; position < SECTION_INDEX_SIZE; ++position) {
    const std::unique_ptr<LexSection>& section = lex.sections[position];
    if (!section) continue;
    const int32_t row = FoldLetterCode(position / SECTION_INDEX_WIDTH);
    const int32_t column = FoldLetterCode(position % SECTION_INDEX_WIDTH);
    if (!IsSelected(level, bases, row, column)) continue;
    // An empty section (-1) has nothing to decode; one that cannot be read
    // counts as holding no words.
    if (LoadSection(lex, position) != 0) continue;
    if (!exact && section->wordIndex != nullptr) {
      // The same words in the same order as the decode, but a word whose
      // length rules out a score above 0 is not even scored.
      ForEachIndexedWord(*section->wordIndex, [&](const char* decoded, uint32_t length) {
        if (length > wordLength + MAX_SCORED_LENGTH_DIFFERENCE ||
            length + MAX_SCORED_LENGTH_DIFFERENCE < wordLength) {
          return;
        }
        const int32_t score = ScoreSimilarityOfLengths(word, wordLength, decoded, length);
        // What OfferDecodedWord does, without measuring the words again.
        if (score > 0) {
          if (scanContext.list != nullptr) OfferCandidate(*scanContext.list, decoded, score);
          ++scanContext.offered;
        }
      });
      continue;
    }
    DecodeSection(*section, word, exact, SectionVisit{OfferDecodedWord, &scanContext}, lex.tokens);
  }
  return scanContext.offered;
}

void SuggestFromCompressedLex(CompressedLex& lex, int32_t level, const char* word,
                              CandidateList& list) {
  ScoreShortWords(lex, word, list);
  SuggestScanContext context{&list, 0};
  if (level == SUGGEST_LEVEL_AUTO) {
    // Widen only while a level gives nothing; level 0 is never used here.
    for (int32_t widened = 1; widened <= SUGGEST_LEVEL_MAX; ++widened) {
      if (ScanSuggestLevel(lex, word, widened, context) > 0) break;
    }
  } else if (level >= 0 && level <= SUGGEST_LEVEL_MAX) {
    ScanSuggestLevel(lex, word, level, context);
  }
}

}  // namespace orth
