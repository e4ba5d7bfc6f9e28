// Exported lexicon functions.
#include "lex/lex_slot.h"
#include "orth.h"
#include "session/c_edge.h"

using orth::LexSlot;
using orth::Session;

extern "C" {

ORTH_API int32_t ORTH_CreateLex(int32_t session, const char* fileName, int32_t type,
                                int32_t language) {
  return orth::WithSession(
      session, [&](Session& s) { return orth::CreateLex(s, fileName, type, language); });
}

ORTH_API int32_t ORTH_OpenLex(int32_t session, const char* fileName, int32_t cacheBudget) {
  return orth::WithSession(session,
                           [&](Session& s) { return orth::OpenLex(s, fileName, cacheBudget); });
}

ORTH_API int32_t ORTH_CloseLex(int32_t session, int32_t lex) {
  return orth::WithLexSlot(session, lex,
                           [&](Session& s, LexSlot&) { return orth::CloseLexSlot(s, lex); });
}

ORTH_API int32_t ORTH_AddToLex(int32_t session, int32_t lex, const char* word,
                               const char* otherWord) {
  return orth::WithLexSlot(
      session, lex, [&](Session&, LexSlot& slot) { return orth::AddToLex(slot, word, otherWord); });
}

ORTH_API int32_t ORTH_DelFromLex(int32_t session, int32_t lex, const char* word) {
  return orth::WithLexSlot(
      session, lex, [&](Session&, LexSlot& slot) { return orth::DeleteFromLex(slot, word); });
}

ORTH_API int32_t ORTH_ClearLex(int32_t session, int32_t lex) {
  return orth::WithLexSlot(session, lex,
                           [&](Session&, LexSlot& slot) { return orth::ClearLex(slot); });
}

ORTH_API int32_t ORTH_GetLexInfo(int32_t session, int32_t lex, int32_t* size, int32_t* format,
                                 int32_t* type, int32_t* language) {
  return orth::WithLexSlot(session, lex, [&](Session&, LexSlot& slot) {
    return orth::GetLexInfo(slot, size, format, type, language);
  });
}

ORTH_API int32_t ORTH_SetLexOptions(int32_t session, int32_t lex, uint32_t options) {
  return orth::WithLexSlot(
      session, lex, [&](Session&, LexSlot& slot) { return orth::SetLexOptions(slot, options); });
}

ORTH_API int32_t ORTH_GetLex(int32_t session, int32_t lex, char* buffer, uint32_t bufferSize) {
  return orth::WithLexSlot(session, lex, [&](Session&, LexSlot& slot) {
    return orth::ListLex(slot, buffer, bufferSize);
  });
}

}  // extern "C"
