// The ranked suggester's view of a compressed lexicon: its words as a letter
// tree laid out in depth-first order, so that the distance search walks it
// front to back and skips a hopeless prefix with all the words under it in
// one jump, with each word's commonness grade on its last letter. Built
// once, on the first ranked suggestion that needs the lexicon, and kept
// until the lexicon closes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "lex/compressed_lex.h"

namespace orth {

// Longest word the index keeps (what the section decoder can produce).
inline constexpr uint32_t RANK_WORD_MAX = WORD_MAX + 1;

// One letter of the tree. Its children follow it directly; `next` is the
// first node after its whole subtree.
struct RankNode {
  uint32_t next;
  uint32_t below;  // RankLetterBit of every letter under this node
  unsigned char letter;
  uint8_t depth;   // 1 for a first letter
  uint8_t isWord;  // a word ends here
  uint8_t grade;   // the word's commonness grade (COMMONNESS_UNKNOWN without a file)
};
static_assert(sizeof(RankNode) == 12);

// A letter's bit in RankNode::below: one bit per base letter (so accented
// forms share their letter's bit), one for the apostrophe, one for ß and one
// for every other byte.
uint32_t RankLetterBit(unsigned char c);

struct RankIndex {
  std::vector<RankNode> nodes;  // depth-first, children in byte order
  uint32_t wordCount = 0;
  bool hasGrades = false;  // a matching commonness file was read

  // Heap bytes held.
  uint64_t Bytes() const { return nodes.capacity() * sizeof(RankNode) + sizeof(RankIndex); }
};

// Reads every word of the lexicon and, when the commonness file of
// lexFileName matches the lexicon, its grades. Returns null when a section
// cannot be read or decoded. Throws std::bad_alloc.
std::unique_ptr<RankIndex> BuildRankIndex(CompressedLex& lex, const std::string& lexFileName);

// The index of the lexicon, built on first use and kept in it; null when it
// cannot be built (then the lexicon is not tried again).
const RankIndex* RankIndexOf(CompressedLex& lex, const std::string& lexFileName);

// The node where word (a normalised word) ends when the index holds it, or
// null.
const RankNode* FindInRankIndex(const RankIndex& index, const char* word);

}  // namespace orth
