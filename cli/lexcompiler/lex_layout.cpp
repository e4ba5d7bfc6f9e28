#include "lexcompiler/lex_layout.h"

#include <algorithm>
#include <map>
#include <utility>

#include "lex/compressed_lookup.h"
#include "lex/section_format.h"

namespace orth {

namespace {

// The letter code a section's order gives a character; the end of the word is -1.
int32_t OrderCode(const std::string& word, size_t i) {
  return i < word.size() ? LetterCode[static_cast<unsigned char>(word[i])] : -1;
}

bool IsOwnPosition(unsigned char first, unsigned char second) {
  const int32_t a = LetterCode[first];
  const int32_t b = LetterCode[second];
  return a >= 0 && a < SECTION_INDEX_WIDTH && b >= 0 && b < SECTION_INDEX_WIDTH;
}

}  // namespace

int32_t CompareSectionOrder(const std::string& a, const std::string& b) {
  const unsigned char thirdA = a.size() > 2 ? static_cast<unsigned char>(a[2]) : 0;
  const unsigned char thirdB = b.size() > 2 ? static_cast<unsigned char>(b[2]) : 0;
  if (thirdA != thirdB) return thirdA < thirdB ? -1 : 1;
  const size_t longest = std::max(a.size(), b.size());
  for (size_t i = 0; i <= longest; ++i) {
    const int32_t codeA = OrderCode(a, i);
    const int32_t codeB = OrderCode(b, i);
    if (codeA != codeB) return codeA < codeB ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

bool BuildLexLayout(const std::vector<std::string>& words, LexLayout& layout,
                    CompileSummary& summary, std::string& error, size_t mostShortWords) {
  layout = LexLayout{};
  std::map<std::pair<unsigned char, unsigned char>, std::vector<std::string>> byPair;
  for (const std::string& word : words) {
    if (word.empty()) continue;
    if (word.size() <= 2) {
      layout.shortWords.push_back(ShortWordOf(word.c_str()));
      continue;
    }
    byPair[{static_cast<unsigned char>(word[0]), static_cast<unsigned char>(word[1])}].push_back(
        word);
  }
  if (layout.shortWords.size() > mostShortWords) {
    error = "too many words of one or two characters: " + std::to_string(layout.shortWords.size()) +
            ", the short-word table holds at most " + std::to_string(MAX_SHORT_WORDS);
    return false;
  }
  std::sort(layout.shortWords.begin(), layout.shortWords.end(),
            [](const ShortWord& a, const ShortWord& b) { return CompareShortWords(a, b) < 0; });

  // Pairs that own their position first, then the others by falling word count.
  using PairWords =
      std::pair<const std::pair<unsigned char, unsigned char>, std::vector<std::string>>;
  std::vector<PairWords*> claims;
  for (auto& entry : byPair) claims.push_back(&entry);
  std::stable_sort(claims.begin(), claims.end(), [](const PairWords* x, const PairWords* y) {
    const bool ownX = IsOwnPosition(x->first.first, x->first.second);
    const bool ownY = IsOwnPosition(y->first.first, y->first.second);
    if (ownX != ownY) return ownX;
    return x->second.size() > y->second.size();
  });
  std::vector<bool> taken(SECTION_INDEX_SIZE, false);
  for (PairWords* claim : claims) {
    const auto [first, second] = claim->first;
    const int32_t position = SectionPosition(first, second);
    if (!IsSectionPosition(position) || taken[position]) {
      summary.Skip(SkipReason::NoSection, claim->second.size());
      continue;
    }
    taken[position] = true;
    SectionWords section;
    section.position = position;
    section.first = first;
    section.second = second;
    section.words = std::move(claim->second);
    std::sort(
        section.words.begin(), section.words.end(),
        [](const std::string& a, const std::string& b) { return CompareSectionOrder(a, b) < 0; });
    layout.sections.push_back(std::move(section));
  }
  std::sort(layout.sections.begin(), layout.sections.end(),
            [](const SectionWords& a, const SectionWords& b) { return a.position < b.position; });
  return true;
}

}  // namespace orth
