// Exported block functions.
#include "block/block.h"
#include "block/block_check.h"
#include "orth.h"
#include "session/c_edge.h"

using orth::Block;
using orth::Session;

extern "C" {

ORTH_API int32_t ORTH_OpenBlock(int32_t session, const char* text, uint32_t length,
                                uint32_t capacity, int32_t copy) {
  return orth::WithSession(
      session, [&](Session& s) { return orth::OpenBlock(s, text, length, capacity, copy); });
}

ORTH_API int32_t ORTH_CloseBlock(int32_t session, int32_t block) {
  return orth::WithBlock(session, block, ERR_BAD_BLOCK, [&](Session& s, Block&) {
    orth::CloseBlock(s, block);
    return 0;
  });
}

ORTH_API int32_t ORTH_GetBlockWord(int32_t session, int32_t block, char* buffer, uint32_t size) {
  return orth::WithBlock(session, block, ERR_BAD_BLOCK, [&](Session&, Block& b) {
    // A buffer that cannot even hold the NUL is refused before any search.
    if (size == 0 || buffer == nullptr) return ERR_BUFFER_TOO_SMALL;
    return orth::ReadBlockWord(b, buffer, size);
  });
}

ORTH_API int32_t ORTH_NextBlockWord(int32_t session, int32_t block) {
  return orth::WithBlock(session, block, ERR_BAD_BLOCK,
                         [&](Session&, Block& b) { return orth::NextBlockWord(b); });
}

ORTH_API int32_t ORTH_CheckBlock(int32_t session, int32_t block, uint32_t options, char* wordBuffer,
                                 uint32_t wordBufferSize, char* otherBuffer,
                                 uint32_t otherBufferSize) {
  return orth::WithBlock(session, block, ERR_BAD_BLOCK, [&](Session& s, Block& b) {
    // The current word must fit somewhere: refused before the walk starts.
    if (wordBufferSize == 0 || wordBuffer == nullptr) return ERR_BUFFER_TOO_SMALL;
    return orth::CheckBlock(s, b, options, wordBuffer, wordBufferSize, otherBuffer,
                            otherBufferSize);
  });
}

ORTH_API int32_t ORTH_ReplaceBlockWord(int32_t session, int32_t block, const char* newWord) {
  return orth::WithBlock(session, block, ERR_BAD_BLOCK, [&](Session&, Block& b) {
    if (newWord == nullptr) return ERR_BUFFER_TOO_SMALL;
    return orth::ReplaceBlockWord(b, newWord);
  });
}

ORTH_API int32_t ORTH_DelBlockWord(int32_t session, int32_t block) {
  // This function alone answers a bad block number with ERR_BAD_SESSION.
  return orth::WithBlock(session, block, ERR_BAD_SESSION, [&](Session&, Block& b) {
    orth::DeleteBlockWord(b);
    return 0;
  });
}

ORTH_API int32_t ORTH_GetBlockInfo(int32_t session, int32_t block, uint32_t* length,
                                   uint32_t* capacity, uint32_t* cursor, uint32_t* wordCount) {
  return orth::WithBlock(session, block, ERR_BAD_BLOCK, [&](Session&, Block& b) {
    if (length != nullptr) *length = b.length;
    if (capacity != nullptr) *capacity = b.capacity;
    if (cursor != nullptr) *cursor = b.cursor;
    if (wordCount != nullptr) *wordCount = orth::CountBlockWords(b);
    return 0;
  });
}

ORTH_API int32_t ORTH_GetBlock(int32_t session, int32_t block, char* buffer, uint32_t size) {
  return orth::WithBlock(session, block, ERR_BAD_BLOCK, [&](Session&, Block& b) {
    // A missing buffer holds nothing.
    return orth::CopyBlockText(b, buffer, buffer == nullptr ? 0 : size);
  });
}

}  // extern "C"
