#include "session/session_table.h"

#include <new>

#include "session/debug_log.h"

namespace orth {
namespace {

std::array<std::unique_ptr<Session>, MAX_SESSIONS> SessionTable;
bool firstCall = true;

}  // namespace

Session* FindSession(int32_t session) {
  if (session < 0 || session >= MAX_SESSIONS) return nullptr;
  return SessionTable[session].get();
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
  if (firstCall) {
    for (auto& entry : SessionTable) entry.reset();
    firstCall = false;
  }
  StartDebugLog();
  for (int32_t i = 0; i < MAX_SESSIONS; ++i) {
    if (SessionTable[i]) continue;
    SessionTable[i].reset(new (std::nothrow) Session());
    return SessionTable[i] ? i : ERR_NO_MEMORY;
  }
  return ERR_TOO_MANY_SESSIONS;
}

void CloseSession(int32_t session) {
  Session& s = *SessionTable[session];
  // Closing a session discards unsaved changes: clearing the flag first keeps
  // the lexicon close from saving.
  for (int32_t lex = 0; lex < MAX_LEXICONS; ++lex) {
    if (!s.lexicons[lex]) continue;
    s.lexicons[lex]->modified = 0;
    CloseLexSlot(s, lex);
  }
  // An in-place block leaves the caller's text with the edits made so far.
  for (auto& block : s.blocks) block.reset();
  SessionTable[session].reset();
}

}  // namespace orth
