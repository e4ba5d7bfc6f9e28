#include "lexcompiler/lex_reader.h"

#include "lex/section_cache.h"
#include "lex/section_decoder.h"

namespace orth {

namespace {

// The section visitor receives only words, so the list being filled is
// reached through this; one read runs at a time.
std::vector<std::string>* collected = nullptr;

int32_t CollectWord(const char* /*target*/, const char* word) {
  collected->emplace_back(word);
  return 1;
}

}  // namespace

int32_t ReadSectionWords(CompressedLex& lex, int32_t position, std::vector<std::string>& words) {
  words.clear();
  if (!IsSectionPosition(position) || lex.sections[position] == nullptr) return 0;
  const int32_t loaded = LoadSection(lex, position);
  if (loaded == -1) return 0;  // empty section
  if (loaded < 0) return loaded;
  collected = &words;
  DecodeSection(*lex.sections[position], "", false, CollectWord, lex.tokens);
  collected = nullptr;
  return 0;
}

std::vector<std::string> ReadShortWords(const CompressedLex& lex) {
  std::vector<std::string> words;
  for (uint32_t i = 0; i < lex.shortWordCount; ++i) {
    const ShortWord& entry = lex.shortWords[i];
    std::string word;
    if (entry[0] != 0) word.push_back(static_cast<char>(entry[0]));
    if (entry[0] != 0 && entry[1] != 0) word.push_back(static_cast<char>(entry[1]));
    words.push_back(std::move(word));
  }
  return words;
}

LexDescription DescribeLex(const CompressedLex& lex) {
  LexDescription description;
  description.language = lex.language;
  description.shortWords = lex.shortWordCount;
  for (const auto& section : lex.sections) {
    if (section == nullptr) continue;
    ++description.sections;
    description.sectionBytes += section->size;
    if (section->size > description.largestSectionSize) {
      description.largestSectionSize = section->size;
      description.largestFirst = section->firstLetter;
      description.largestSecond = section->secondLetter;
    }
  }
  for (const auto& token : lex.tokens) description.tokens.emplace_back(token.data());
  return description;
}

}  // namespace orth
