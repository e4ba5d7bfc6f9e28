// Exported suggestion search.
#include "orth.h"
#include "session/c_edge.h"
#include "suggest/suggest_search.h"

extern "C" {

ORTH_API int32_t ORTH_Suggest(int32_t session, const char* word, int32_t level, char* buffer,
                              uint32_t bufferSize, int32_t* scores, int32_t maxCount) {
  return orth::WithSession(session, [&](orth::Session& s) {
    return orth::SuggestCorrections(s, word, level, buffer, bufferSize, scores, maxCount);
  });
}

}  // extern "C"
