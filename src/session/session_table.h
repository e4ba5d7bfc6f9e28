// The process-wide table of sessions and the handle lookups every export
// starts with.
//
// The table is a fixed array of entries that never moves, each with its own
// lock and its session. A call on a session holds that entry's lock for the
// whole call, so calls on one session are serialised while calls on
// different sessions run in parallel; looking a session up takes no lock of
// the table. The table's own lock is taken only to open and to close a
// session (open picks the lowest free number, close frees one), always before
// an entry's lock.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "block/block.h"
#include "lex/lex_slot.h"
#include "orth.h"
#include "session/session_lock.h"

namespace orth {

// One session: its lexicon slots and block slots. A null slot is free.
struct Session {
  std::array<std::unique_ptr<LexSlot>, MAX_LEXICONS> lexicons;
  std::array<std::unique_ptr<Block>, MAX_BLOCKS> blocks;
};

// The session with this number, or null when the number is out of range or
// no session is open under it. Takes no lock: for a caller that is the only
// thread using the session (tests and tools that reach the engine directly).
Session* FindSession(int32_t session);

// The open lexicon slot / block of a session, or null (out of range or free).
LexSlot* FindLexSlot(Session& session, int32_t lex);
Block* FindBlock(Session& session, int32_t block);

// One entry of the table, on a cache line of its own, so that threads
// working on different sessions do not slow each other down through their
// locks.
struct alignas(64) SessionEntry {
  SessionLock lock;
  // Set by an open (under the table lock) and cleared by a close (under the
  // table lock and the entry's lock); read under either. Atomic because an
  // open publishes a session without the entry's lock: a call on the number
  // sees either nothing or the whole new session.
  std::atomic<Session*> session{nullptr};
};

// The table itself; only the lookups here and in session_table.cpp use it.
extern std::array<SessionEntry, MAX_SESSIONS> sessionTable;

// Holds the lock of one session entry for its lifetime. session() is the
// open session under that number, or null (out of range or not open; then
// nothing is held). Inline: every export starts with it.
class SessionAccess {
 public:
  explicit SessionAccess(int32_t session) noexcept {
    // Unsigned, so that a negative number is out of range too.
    if (static_cast<uint32_t>(session) >= MAX_SESSIONS) return;
    SessionEntry& entry = sessionTable[session];
    entry.lock.Lock();
    session_ = entry.session.load(std::memory_order_acquire);
    if (session_ == nullptr) {
      entry.lock.Unlock();
      return;
    }
    held_ = &entry;
  }
  ~SessionAccess() {
    if (held_ != nullptr) held_->lock.Unlock();
  }
  SessionAccess(const SessionAccess&) = delete;
  SessionAccess& operator=(const SessionAccess&) = delete;

  Session* session() const { return session_; }

 private:
  SessionEntry* held_ = nullptr;  // the entry whose lock is held
  Session* session_ = nullptr;
};

// Opens the lowest free session: its number, ERR_TOO_MANY_SESSIONS or
// ERR_NO_MEMORY.
int32_t OpenSession();

// Closes a session: its lexicons without saving, then its blocks. Waits for
// a call in progress on it. Returns 0 or ERR_BAD_SESSION.
int32_t CloseSession(int32_t session);

}  // namespace orth
