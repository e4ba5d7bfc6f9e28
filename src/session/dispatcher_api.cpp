// The message dispatcher: one exported entry point that reaches the session,
// lexicon, word-check and suggestion functions by message number, for hosts
// that can bind only a single function.
//
// The generic arguments are pointer-wide so that strings and buffers pass
// intact; an argument that stands for a number is cut to its low 32 bits.
#include <cstdint>

#include "orth.h"

namespace {

int32_t AsInt(intptr_t a) {
  return static_cast<int32_t>(a);
}
uint32_t AsUnsigned(intptr_t a) {
  return static_cast<uint32_t>(a);
}
template <class T>
T* AsPointer(intptr_t a) {
  return reinterpret_cast<T*>(a);
}

}  // namespace

extern "C" {

ORTH_API int32_t qzptSendORTHMessage(uint32_t message, intptr_t a1, intptr_t a2, intptr_t a3,
                                     intptr_t a4, intptr_t a5, intptr_t a6, intptr_t a7) {
  // Unsigned, so every number below MSG_OPEN_SESSION lands above the range.
  switch (message - MSG_OPEN_SESSION) {
    case MSG_OPEN_SESSION - MSG_OPEN_SESSION:
      return ORTH_OpenSession();
    case MSG_CLOSE_SESSION - MSG_OPEN_SESSION:
      return ORTH_CloseSession(AsInt(a1));
    case MSG_OPEN_LEX - MSG_OPEN_SESSION:
      return ORTH_OpenLex(AsInt(a1), AsPointer<const char>(a2), AsInt(a3));
    case MSG_CREATE_LEX - MSG_OPEN_SESSION:
      return ORTH_CreateLex(AsInt(a1), AsPointer<const char>(a2), AsInt(a3), AsInt(a4));
    case MSG_CLOSE_LEX - MSG_OPEN_SESSION:
      return ORTH_CloseLex(AsInt(a1), AsInt(a2));
    case MSG_CLEAR_LEX - MSG_OPEN_SESSION:
      return ORTH_ClearLex(AsInt(a1), AsInt(a2));
    case MSG_CHECK_WORD - MSG_OPEN_SESSION:
      return ORTH_CheckWord(AsInt(a1), AsUnsigned(a2), AsPointer<const char>(a3),
                            AsPointer<char>(a4), AsUnsigned(a5));
    case MSG_GET_LEX - MSG_OPEN_SESSION:
      return ORTH_GetLex(AsInt(a1), AsInt(a2), AsPointer<char>(a3), AsUnsigned(a4));
    case MSG_SUGGEST - MSG_OPEN_SESSION:
      return ORTH_Suggest(AsInt(a1), AsPointer<const char>(a2), AsInt(a3), AsPointer<char>(a4),
                          AsUnsigned(a5), AsPointer<int32_t>(a6), AsInt(a7));
    case MSG_ADD_TO_LEX - MSG_OPEN_SESSION:
      return ORTH_AddToLex(AsInt(a1), AsInt(a2), AsPointer<const char>(a3),
                           AsPointer<const char>(a4));
    case MSG_DEL_FROM_LEX - MSG_OPEN_SESSION:
      return ORTH_DelFromLex(AsInt(a1), AsInt(a2), AsPointer<const char>(a3));
    case MSG_GET_LEX_INFO - MSG_OPEN_SESSION:
      return ORTH_GetLexInfo(AsInt(a1), AsInt(a2), AsPointer<int32_t>(a3), AsPointer<int32_t>(a4),
                             AsPointer<int32_t>(a5), AsPointer<int32_t>(a6));
    case MSG_VERSION - MSG_OPEN_SESSION:
      // a1 is not read: the major version goes to a2, the minor to a3.
      ORTH_Version(AsPointer<int32_t>(a2), AsPointer<int32_t>(a3));
      return 0;
    default:
      return 0;
  }
}

}  // extern "C"
