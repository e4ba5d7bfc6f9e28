// Exported phonetic search.
#include "orth.h"
#include "phonetic/phonetic_search.h"
#include "session/c_edge.h"

extern "C" {

ORTH_API int32_t ORTH_PhonSearch(int32_t session, const char* word, char* buffer,
                                 uint32_t bufferSize) {
  return orth::WithSession(
      session, [&](orth::Session& s) { return orth::PhonSearch(s, word, buffer, bufferSize); });
}

}  // extern "C"
