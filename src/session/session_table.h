// The process-wide table of sessions and the handle lookups every export
// starts with.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "block/block.h"
#include "lex/lex_slot.h"
#include "orth.h"

namespace orth {

// One session: its lexicon slots and block slots. A null slot is free.
struct Session {
  std::array<std::unique_ptr<LexSlot>, MAX_LEXICONS> lexicons;
  std::array<std::unique_ptr<Block>, MAX_BLOCKS> blocks;
};

// The session with this number, or null when the number is out of range or
// no session is open under it.
Session* FindSession(int32_t session);

// The open lexicon slot / block of a session, or null (out of range or free).
LexSlot* FindLexSlot(Session& session, int32_t lex);
Block* FindBlock(Session& session, int32_t block);

// Opens the lowest free session: its number, ERR_TOO_MANY_SESSIONS or
// ERR_NO_MEMORY. The first call in a process empties the table.
int32_t OpenSession();

// Closes an open session: its lexicons without saving, then its blocks.
void CloseSession(int32_t session);

}  // namespace orth
