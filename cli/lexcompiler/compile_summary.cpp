#include "lexcompiler/compile_summary.h"

#include <cstdio>

#include "lexcompiler/lex_volumes.h"
#include "lexcompiler/text_encoding.h"

namespace orth {

const char* SkipReasonText(SkipReason reason) {
  switch (reason) {
    case SkipReason::InvalidUtf8:
      return "not valid UTF-8";
    case SkipReason::NotLatin1:
      return "a character beyond Latin-1";
    case SkipReason::ControlCharacter:
      return "a control character";
    case SkipReason::NothingToLookUp:
      return "nothing left to look up after normalisation";
    case SkipReason::NoSection:
      return "first two characters without a section position of their own";
    case SkipReason::NoTokenForCharacter:
      return "a character no letter, accent or token spells";
  }
  return "unknown";
}

uint64_t CompileSummary::SkippedTotal() const {
  uint64_t total = 0;
  for (const uint64_t count : skipped) total += count;
  return total;
}

namespace {

std::string Line(const char* format, auto... values) {
  char buffer[256];
  std::snprintf(buffer, sizeof buffer, format, values...);
  return buffer;
}

}  // namespace

std::string FormatCompileSummary(const CompileSummary& s, const std::string& outputName) {
  std::string text = "wrote " + outputName + "\n";
  text += Line("  words written:   %llu (%llu short words, %llu in %u sections)\n",
               static_cast<unsigned long long>(s.WordsWritten()),
               static_cast<unsigned long long>(s.shortWords),
               static_cast<unsigned long long>(s.sectionWords), s.sectionCount);
  text += Line("  words skipped:   %llu\n", static_cast<unsigned long long>(s.SkippedTotal()));
  for (int r = 0; r < SKIP_REASON_COUNT; ++r) {
    if (s.skipped[r] == 0) continue;
    text += Line("    %8llu  %s\n", static_cast<unsigned long long>(s.skipped[r]),
                 SkipReasonText(static_cast<SkipReason>(r)));
  }
  text += Line("  lines read:      %llu (%llu repeat an earlier word once normalised)\n",
               static_cast<unsigned long long>(s.linesRead),
               static_cast<unsigned long long>(s.duplicates));
  if (s.cutToLength > 0) {
    text += Line("  cut to 30 characters: %llu\n", static_cast<unsigned long long>(s.cutToLength));
  }
  if (s.splitIntoWords > 0) {
    text += Line("  split into words: %llu entries (at hyphens, periods, spaces)\n",
                 static_cast<unsigned long long>(s.splitIntoWords));
  }
  if (s.cutAtSpace > 0) {
    text += Line("  cut at a space:  %llu\n", static_cast<unsigned long long>(s.cutAtSpace));
  }
  if (s.volumes > 1) {
    text += Line("  volumes:         %u (a section or the short words did not fit one file):",
                 s.volumes);
    for (uint32_t v = 0; v < s.volumes; ++v) text += " " + VolumeFileName(outputName, v);
    text += "\n";
  }
  if (s.caseForms > 0) {
    text += Line("  case forms:      %llu words never written in lower case (.olf)\n",
                 static_cast<unsigned long long>(s.caseForms));
  }
  text += Line("  file size:       %llu bytes\n", static_cast<unsigned long long>(s.fileSize));
  if (s.WordsWritten() > 0) {
    text += Line("  bytes per word:  %.2f\n",
                 static_cast<double>(s.fileSize) / static_cast<double>(s.WordsWritten()));
  }
  if (s.sectionCount > 0) {
    const char pair[3] = {static_cast<char>(s.largestFirst), static_cast<char>(s.largestSecond), 0};
    text += Line("  largest section: \"%s\", %u bytes\n", Latin1ToUtf8(pair).c_str(),
                 s.largestSectionSize);
  }
  text += Line("  tokens:          %zu", s.tokens.size());
  for (const std::string& token : s.tokens) text += " \"" + Latin1ToUtf8(token) + "\"";
  text += "\n";
  text += s.verified ? "  verified:        every word found\n" : "  verified:        not checked\n";
  return text;
}

}  // namespace orth
