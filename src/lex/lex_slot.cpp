#include "lex/lex_slot.h"

#include "session/session_table.h"

namespace orth {

int32_t CloseLexSlot(Session& session, int32_t lex) {
  session.lexicons[lex].reset();
  return 0;
}

}  // namespace orth
