// Exported word check.
#include "check/word_check.h"
#include "orth.h"
#include "session/c_edge.h"

extern "C" {

ORTH_API int32_t ORTH_CheckWord(int32_t session, uint32_t options, const char* word, char* buffer,
                                uint32_t bufferSize) {
  return orth::WithSession(session, [&](orth::Session& s) {
    return orth::CheckWord(s, options, word, buffer, bufferSize);
  });
}

}  // extern "C"
