#include "block/block_check.h"

#include <cstring>

#include "block/block.h"
#include "check/word_check.h"
#include "orth.h"
#include "text/char_table.h"

namespace orth {
namespace {

// Reports whether the current word repeats the word remembered before it, and
// keeps the remembered word up to date. A punctuation mark after a word
// («the, the») forgets it; reporting forgets it too, so «the the the» reports
// only the second word; checking the same word again never reports it twice.
bool IsDoubledWord(Block& block) {
  char word[WORD_MAX + 1];
  const int32_t following = ReadBlockWord(block, word, sizeof word);
  if (block.previousWordPos != block.cursor && CompareCaseless(block.previousWord, word) == 0) {
    block.previousWord[0] = '\0';
    return true;
  }
  if (following > 0 && IsPunct(static_cast<unsigned char>(following))) {
    block.previousWord[0] = '\0';
  } else {
    std::memcpy(block.previousWord, word, sizeof word);
    block.previousWordPos = block.cursor;
  }
  return false;
}

}  // namespace

int32_t CheckBlock(Session& session, Block& block, uint32_t options, char* wordBuffer,
                   uint32_t wordSize, char* otherBuffer, uint32_t otherSize) {
  for (;;) {
    if (ReadBlockWord(block, wordBuffer, wordSize) == ERR_NOT_FOUND) return RES_END_OF_BLOCK;
    // Only the block's first word starts a sentence.
    if (block.sentenceStart == 0) options &= ~OPT_REPORT_UNCAPITALIZED;
    int32_t findings = CheckWord(session, options, wordBuffer, otherBuffer, otherSize);
    if ((options & OPT_REPORT_DOUBLED_WORD) && IsDoubledWord(block)) findings |= RES_DOUBLED_WORD;
    if (findings != 0) return findings;
    if (NextBlockWord(block) != 0) return RES_END_OF_BLOCK;
  }
}

}  // namespace orth
