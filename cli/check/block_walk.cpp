#include "check/block_walk.h"

#include <algorithm>
#include <vector>

#include "orth.h"

namespace orth::cli {

namespace {

// Paragraphs longer than this are walked in pieces of whole lines.
constexpr size_t MAX_PARAGRAPH_BYTES = size_t{1} << 20;
// Buffers for the word and the other word of the block check.
constexpr size_t WORD_BUFFER_BYTES = 256;
// The most a single block holds (a line longer than this is cut).
constexpr size_t MAX_PIECE_BYTES = size_t{1} << 30;

bool IsBlankLine(std::string_view line) {
  for (const char c : line) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\f' && c != '\v') return false;
  }
  return true;
}

// Closes a block when the walk leaves, however it leaves.
struct OpenBlockGuard {
  int32_t session;
  int32_t block;
  ~OpenBlockGuard() { ORTH_CloseBlock(session, block); }
};

int32_t WalkParagraph(int32_t session, uint32_t options, std::string_view paragraph, size_t start,
                      bool countWords, const std::function<void(const BlockFinding&)>& onFinding,
                      WalkCounts& counts) {
  const auto length = static_cast<uint32_t>(paragraph.size());
  const int32_t block = ORTH_OpenBlock(session, paragraph.data(), length, length + 1, 1);
  if (block < 0) return block;
  const OpenBlockGuard guard{session, block};
  ++counts.paragraphs;
  if (countWords) {
    uint32_t words = 0;
    if (ORTH_GetBlockInfo(session, block, nullptr, nullptr, nullptr, &words) == 0) {
      counts.words += words;
    }
  }
  // The word check fills the whole other buffer, so both buffers stay small:
  // the engine looks a word up by its first 30 characters and a replacement
  // has at most 30. A longer word is measured with a second read below.
  char word[WORD_BUFFER_BYTES];
  char other[WORD_BUFFER_BYTES];
  std::vector<char> longWord;
  for (;;) {
    const int32_t result =
        ORTH_CheckBlock(session, block, options, word, sizeof word, other, sizeof other);
    if (result < 0) return result;
    if (result & RES_END_OF_BLOCK) return 0;
    uint32_t cursor = 0;
    if (const int32_t info = ORTH_GetBlockInfo(session, block, nullptr, nullptr, &cursor, nullptr);
        info < 0) {
      return info;
    }
    BlockFinding finding;
    finding.word = word;
    if (finding.word.size() + 1 == sizeof word) {
      // The word filled the buffer: read all of it.
      longWord.assign(paragraph.size() + 1, '\0');
      if (ORTH_GetBlockWord(session, block, longWord.data(),
                            static_cast<uint32_t>(longWord.size())) >= 0) {
        finding.word = longWord.data();
      }
    }
    finding.offset = start + cursor;
    finding.length = finding.word.size();
    if (result & (RES_MISSPELLED | RES_CHANGE_WORD | RES_SUGGEST_WORD)) {
      finding.kind = (result & RES_CHANGE_WORD)    ? FindingKind::Replacement
                     : (result & RES_SUGGEST_WORD) ? FindingKind::Suggestion
                                                   : FindingKind::Misspelled;
      if (finding.kind != FindingKind::Misspelled) finding.other = other;
      onFinding(finding);
    }
    if (result & RES_DOUBLED_WORD) {
      finding.kind = FindingKind::Doubled;
      finding.other.clear();
      onFinding(finding);
    }
    // Skip the reported word; at the end of the text the walk is over.
    if (ORTH_NextBlockWord(session, block) != 0) return 0;
  }
}

}  // namespace

int32_t WalkText(int32_t session, uint32_t options, std::string_view latin1, bool countWords,
                 const std::function<void(const BlockFinding&)>& onFinding, WalkCounts& counts) {
  size_t paragraphStart = 0;
  size_t position = 0;
  auto flush = [&](size_t end) -> int32_t {
    while (end > paragraphStart) {
      // A line longer than a block can hold is cut (the only place a word may be split).
      const size_t piece = std::min(end - paragraphStart, MAX_PIECE_BYTES);
      if (const int32_t walked =
              WalkParagraph(session, options, latin1.substr(paragraphStart, piece), paragraphStart,
                            countWords, onFinding, counts);
          walked < 0) {
        return walked;
      }
      paragraphStart += piece;
    }
    return 0;
  };
  while (position < latin1.size()) {
    size_t lineEnd = latin1.find('\n', position);
    const bool hasNewline = lineEnd != std::string_view::npos;
    lineEnd = hasNewline ? lineEnd + 1 : latin1.size();
    const std::string_view line =
        latin1.substr(position, lineEnd - position - (hasNewline ? 1 : 0));
    if (IsBlankLine(line)) {
      if (const int32_t walked = flush(position); walked < 0) return walked;
      paragraphStart = lineEnd;
    } else if (lineEnd - paragraphStart > MAX_PARAGRAPH_BYTES && position > paragraphStart) {
      // A very long paragraph is walked in pieces of whole lines.
      if (const int32_t walked = flush(position); walked < 0) return walked;
    }
    position = lineEnd;
  }
  return flush(latin1.size());
}

}  // namespace orth::cli
