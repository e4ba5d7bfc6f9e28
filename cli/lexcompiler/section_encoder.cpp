#include "lexcompiler/section_encoder.h"

#include <algorithm>

#include "lex/section_format.h"
#include "lexcompiler/text_encoding.h"

namespace orth {

namespace {

constexpr size_t PREFIX = SECTION_PREFIX_LENGTH;
// The largest CODE_SKIP argument (a 5-bit code).
constexpr size_t MAX_SKIP = CODE_MASK;

size_t CommonPrefix(const std::string& a, const std::string& b) {
  const size_t limit = std::min(a.size(), b.size());
  size_t k = 0;
  while (k < limit && a[k] == b[k]) ++k;
  return k;
}

std::string PairName(const SectionWords& section) {
  const char pair[3] = {static_cast<char>(section.first), static_cast<char>(section.second), 0};
  return "\"" + Latin1ToUtf8(pair) + "\"";
}

}  // namespace

size_t SharedStart(const std::string& previous, const std::string& word) {
  if (previous.empty()) return PREFIX;
  const size_t shared = CommonPrefix(previous, word);
  return std::max(shared, PREFIX);
}

bool AppendWordCodes(const std::string& previous, const std::string& word, const TokenList& tokens,
                     std::vector<uint8_t>& codes) {
  if (word.size() < PREFIX) return false;
  if (previous.empty()) {
    if (!AppendSpelling(std::string_view(word).substr(PREFIX), tokens, codes)) return false;
    codes.push_back(CODE_END);
    return true;
  }
  // A later word of exactly three characters would be taken for filler.
  if (word.size() == PREFIX) return false;

  // Start after the three fixed letters, after the whole previous word
  // (CODE_RESUME) or after 3 + n shared characters (CODE_SKIP n): whichever
  // costs the fewest codes together with the rest of the word.
  const size_t shared = CommonPrefix(previous, word);
  const std::string_view text(word);
  int64_t bestCost = SpellingCost(text.substr(PREFIX), tokens);
  size_t bestStart = PREFIX;
  int bestCommand = -1;
  if (shared == previous.size() && shared > PREFIX) {
    const int64_t cost = SpellingCost(text.substr(shared), tokens);
    if (cost < SPELLING_IMPOSSIBLE && 1 + cost <= bestCost) {
      bestCost = 1 + cost;
      bestStart = shared;
      bestCommand = CODE_RESUME;
    }
  }
  for (size_t start = std::min(shared, PREFIX + MAX_SKIP); start > PREFIX; --start) {
    const int64_t cost = SpellingCost(text.substr(start), tokens);
    if (cost < SPELLING_IMPOSSIBLE && 2 + cost < bestCost) {
      bestCost = 2 + cost;
      bestStart = start;
      bestCommand = CODE_SKIP;
    }
  }
  if (bestCost >= SPELLING_IMPOSSIBLE) return false;
  if (bestCommand == CODE_RESUME) {
    codes.push_back(CODE_RESUME);
  } else if (bestCommand == CODE_SKIP) {
    codes.push_back(CODE_SKIP);
    codes.push_back(static_cast<uint8_t>(bestStart - PREFIX));
  }
  if (!AppendSpelling(text.substr(bestStart), tokens, codes)) return false;
  codes.push_back(CODE_END);
  return true;
}

void AppendUnits(const std::vector<uint8_t>& codes, std::vector<unsigned char>& bytes) {
  for (size_t i = 0; i < codes.size(); i += CODES_PER_UNIT) {
    uint8_t unit[CODES_PER_UNIT] = {CODE_END, CODE_END, CODE_END};
    for (size_t k = 0; k < CODES_PER_UNIT && i + k < codes.size(); ++k) unit[k] = codes[i + k];
    unsigned char packed[UNIT_SIZE];
    WriteLe16(packed, PackUnit(unit[0], unit[1], unit[2]));
    bytes.insert(bytes.end(), packed, packed + UNIT_SIZE);
  }
}

bool EncodeSection(const SectionWords& section, const TokenList& tokens,
                   std::vector<unsigned char>& data, std::string& error) {
  data.clear();
  std::vector<uint8_t> codes;
  std::vector<unsigned char> units;
  size_t i = 0;
  while (i < section.words.size()) {
    const unsigned char third = static_cast<unsigned char>(section.words[i][PREFIX - 1]);
    codes.clear();
    std::string previous;
    for (; i < section.words.size() &&
           static_cast<unsigned char>(section.words[i][PREFIX - 1]) == third;
         ++i) {
      const std::string& word = section.words[i];
      if (!AppendWordCodes(previous, word, tokens, codes)) {
        error =
            "cannot write the word \"" + Latin1ToUtf8(word) + "\" in section " + PairName(section);
        return false;
      }
      previous = word;
    }
    units.clear();
    AppendUnits(codes, units);
    const size_t recordSize = RECORD_HEADER_SIZE + units.size();
    // The units' length is a 16-bit field and the section's size too; the
    // section test covers both.
    if (data.size() + recordSize > MAX_SECTION_SIZE) {
      error = "section " + PairName(section) + " is too large: more than " +
              std::to_string(MAX_SECTION_SIZE) + " bytes (" + std::to_string(section.words.size()) +
              " words)";
      return false;
    }
    unsigned char header[RECORD_HEADER_SIZE] = {0, 0, third, 0};
    WriteLe16(header, static_cast<uint16_t>(units.size()));
    data.insert(data.end(), header, header + RECORD_HEADER_SIZE);
    data.insert(data.end(), units.begin(), units.end());
  }
  return true;
}

}  // namespace orth
