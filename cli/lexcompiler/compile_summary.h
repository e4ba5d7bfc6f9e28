// What a compilation did: counts gathered by every stage, and the summary
// printed from them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orth {

// Why a word of the list is not in the lexicon.
enum class SkipReason : int {
  InvalidUtf8 = 0,      // the line is not valid UTF-8
  NotLatin1,            // a character beyond Latin-1
  ControlCharacter,     // a control character inside the word
  NothingToLookUp,      // normalisation leaves no characters
  NoSection,            // the first two characters have no section position of their own
  NoTokenForCharacter,  // a character the stream cannot spell and no token holds
};
inline constexpr int SKIP_REASON_COUNT = 6;

// A short description of a reason, e.g. "not in Latin-1".
const char* SkipReasonText(SkipReason reason);

struct CompileSummary {
  // Reading the list.
  uint64_t linesRead = 0;       // lines that held something
  uint64_t duplicates = 0;      // lines whose stored form an earlier line already gave
  uint64_t cutToLength = 0;     // words longer than 30 characters; their first 30 are kept
  uint64_t cutAtSpace = 0;      // entries of several words; the first is kept
  uint64_t splitIntoWords = 0;  // entries split at non-word characters (EntryForms::TextWords)
  std::array<uint64_t, SKIP_REASON_COUNT> skipped{};

  // Writing the lexicon.
  uint64_t shortWords = 0;    // in the short-word table
  uint64_t sectionWords = 0;  // in sections
  uint32_t sectionCount = 0;
  std::vector<std::string> tokens;  // Latin-1
  uint64_t fileSize = 0;
  uint32_t largestSectionSize = 0;
  unsigned char largestFirst = 0, largestSecond = 0;
  uint32_t volumes = 1;    // lexicon files written (see lex_volumes.h)
  bool verified = false;   // re-opened and every word found
  uint64_t caseForms = 0;  // words the list never writes in lower case (case forms files)

  uint64_t WordsWritten() const { return shortWords + sectionWords; }
  uint64_t SkippedTotal() const;
  void Skip(SkipReason reason, uint64_t count = 1) { skipped[static_cast<int>(reason)] += count; }
};

// The summary as lines of UTF-8 text: words written, words skipped and why,
// file size, bytes per word, largest section, tokens and verification.
std::string FormatCompileSummary(const CompileSummary& summary, const std::string& outputName);

}  // namespace orth
