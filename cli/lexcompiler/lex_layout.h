// Where each stored word goes: the short-word table or the section of its
// first two characters, in the order the exact lookup relies on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lex/compressed_lex.h"
#include "lexcompiler/compile_summary.h"

namespace orth {

// The words of one section: all begin with `first` and `second`, have three
// or more characters, and stand in section order.
struct SectionWords {
  int32_t position = 0;  // in the SectionIndex
  unsigned char first = 0;
  unsigned char second = 0;
  std::vector<std::string> words;
};

struct LexLayout {
  std::vector<ShortWord> shortWords;   // ascending by CompareShortWords
  std::vector<SectionWords> sections;  // ascending by position, none empty
};

// The order of a section's words: by third byte (unsigned), then by letter
// code at the first position where the codes differ (the end of a word and a
// character without a letter code both count as -1, so a word comes before
// its extensions), then by bytes so that the order is total. Negative, 0 or
// positive.
int32_t CompareSectionOrder(const std::string& a, const std::string& b);

// Distributes distinct stored words (Latin-1, at least one character each).
// A pair of first characters whose letter codes are both 0..54 owns its
// position; a pair that lands on a position through ÿ, ß or a character
// without a letter code gets it only when no other pair wants it (the pair
// with more words first), and its words are skipped otherwise, as are words
// whose pair gives no position at all (counted as SkipReason::NoSection).
// False with `error` set when the short words are more than `mostShortWords`
// (one file's table; volumes hold more).
bool BuildLexLayout(const std::vector<std::string>& words, LexLayout& layout,
                    CompileSummary& summary, std::string& error,
                    size_t mostShortWords = MAX_SHORT_WORDS);

}  // namespace orth
