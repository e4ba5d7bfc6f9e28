// The block check: walks a block from its current word to the next word with
// a finding, adding the sentence-start and doubled-word rules of running text.
#pragma once

#include <cstdint>

namespace orth {

struct Session;
struct Block;

// Walks from the current word until a word yields findings (its RES_* bits,
// the cursor on it) or the text runs out (RES_END_OF_BLOCK). wordBuffer
// (wordSize >= 1) receives each word read; otherBuffer is the word check's.
int32_t CheckBlock(Session& session, Block& block, uint32_t options, char* wordBuffer,
                   uint32_t wordSize, char* otherBuffer, uint32_t otherSize);

}  // namespace orth
