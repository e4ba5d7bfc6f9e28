// Helpers of the exported C edge: no exception crosses it, and the handle
// checks run in the documented order (session, then lexicon or block).
#pragma once

#include <cstdint>
#include <new>

#include "orth.h"
#include "session/session_table.h"

namespace orth {

// Runs one internal operation; allocation failure becomes ERR_NO_MEMORY.
template <class Operation>
int32_t Guarded(Operation&& operation) noexcept {
  try {
    return operation();
  } catch (...) {
    // std::bad_alloc and the length errors of oversized containers are both
    // memory the engine could not get.
    return ERR_NO_MEMORY;
  }
}

// Calls operation(Session&) for an open session, else ERR_BAD_SESSION. The
// session's lock is held for the whole call, so calls on one session are
// serialised; no operation may call an export on the same session again.
template <class Operation>
int32_t WithSession(int32_t session, Operation&& operation) noexcept {
  const SessionAccess access(session);
  Session* s = access.session();
  if (s == nullptr) return ERR_BAD_SESSION;
  return Guarded([&] { return operation(*s); });
}

// Calls operation(Session&, LexSlot&) for an open lexicon of an open session,
// holding the session's lock.
template <class Operation>
int32_t WithLexSlot(int32_t session, int32_t lex, Operation&& operation) noexcept {
  const SessionAccess access(session);
  Session* s = access.session();
  if (s == nullptr) return ERR_BAD_SESSION;
  LexSlot* slot = FindLexSlot(*s, lex);
  if (slot == nullptr) return ERR_BAD_LEX;
  return Guarded([&] { return operation(*s, *slot); });
}

// Calls operation(Session&, Block&) for an open block of an open session,
// holding the session's lock; badBlock is the code for a block number that
// names no open block.
template <class Operation>
int32_t WithBlock(int32_t session, int32_t block, int32_t badBlock,
                  Operation&& operation) noexcept {
  const SessionAccess access(session);
  Session* s = access.session();
  if (s == nullptr) return ERR_BAD_SESSION;
  Block* b = FindBlock(*s, block);
  if (b == nullptr) return badBlock;
  return Guarded([&] { return operation(*s, *b); });
}

}  // namespace orth
