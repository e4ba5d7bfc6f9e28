// Reading every word of an open compressed lexicon, and describing it: what
// the dump and the compiler's verification see.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lex/compressed_lex.h"

namespace orth {

// The words of the section at `position` in stored order, decoded by the
// engine's section decoder. Returns 0 (also for a position without a section
// or an empty section) or the negative result of LoadSection.
int32_t ReadSectionWords(CompressedLex& lex, int32_t position, std::vector<std::string>& words);

// The short-word table's words in table order.
std::vector<std::string> ReadShortWords(const CompressedLex& lex);

struct LexDescription {
  uint16_t language = 0;
  uint32_t shortWords = 0;
  uint32_t sections = 0;  // sections in the index
  uint64_t sectionBytes = 0;
  uint32_t largestSectionSize = 0;
  unsigned char largestFirst = 0, largestSecond = 0;
  std::vector<std::string> tokens;  // all 32 slots, empty ones included
};

// What the header, short-word table and directory of an open lexicon hold.
LexDescription DescribeLex(const CompressedLex& lex);

}  // namespace orth
