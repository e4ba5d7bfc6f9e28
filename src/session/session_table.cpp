#include "session/session_table.h"

#include <mutex>
#include <new>

#include "session/debug_log.h"

namespace orth {

std::array<SessionEntry, MAX_SESSIONS> sessionTable;

namespace {

std::mutex tableLock;

bool InRange(int32_t session) {
  return session >= 0 && session < MAX_SESSIONS;
}

}  // namespace

Session* FindSession(int32_t session) {
  if (!InRange(session)) return nullptr;
  return sessionTable[session].session.load(std::memory_order_acquire);
}

LexSlot* FindLexSlot(Session& session, int32_t lex) {
  if (lex < 0 || lex >= MAX_LEXICONS) return nullptr;
  return session.lexicons[lex].get();
}

Block* FindBlock(Session& session, int32_t block) {
  if (block < 0 || block >= MAX_BLOCKS) return nullptr;
  return session.blocks[block].get();
}

int32_t OpenSession() {
  const std::lock_guard<std::mutex> table(tableLock);
  StartDebugLog();
  for (int32_t i = 0; i < MAX_SESSIONS; ++i) {
    SessionEntry& entry = sessionTable[i];
    if (entry.session.load(std::memory_order_relaxed) != nullptr) continue;
    Session* session = new (std::nothrow) Session();
    if (session == nullptr) return ERR_NO_MEMORY;
    entry.session.store(session, std::memory_order_release);
    return i;
  }
  return ERR_TOO_MANY_SESSIONS;
}

int32_t CloseSession(int32_t session) {
  if (!InRange(session)) return ERR_BAD_SESSION;
  const std::lock_guard<std::mutex> table(tableLock);
  SessionEntry& entry = sessionTable[session];
  entry.lock.Lock();
  // Released on every way out, also when a close below throws.
  struct Release {
    SessionLock& lock;
    ~Release() { lock.Unlock(); }
  } release{entry.lock};
  Session* open = entry.session.load(std::memory_order_relaxed);
  if (open == nullptr) return ERR_BAD_SESSION;
  std::unique_ptr<Session> s(open);
  entry.session.store(nullptr, std::memory_order_relaxed);
  // Closing a session discards unsaved changes: clearing the flag first keeps
  // the lexicon close from saving.
  for (int32_t lex = 0; lex < MAX_LEXICONS; ++lex) {
    if (!s->lexicons[lex]) continue;
    s->lexicons[lex]->modified = 0;
    CloseLexSlot(*s, lex);
  }
  // An in-place block leaves the caller's text with the edits made so far.
  for (auto& block : s->blocks) block.reset();
  return 0;
}

}  // namespace orth
