// Exported suggestion searches: the classic one and the ranked one.
#include "orth.h"
#include "session/c_edge.h"
#include "suggest/ranked_suggest.h"
#include "suggest/suggest_search.h"

extern "C" {

ORTH_API int32_t ORTH_Suggest(int32_t session, const char* word, int32_t level, char* buffer,
                              uint32_t bufferSize, int32_t* scores, int32_t maxCount) {
  return orth::WithSession(session, [&](orth::Session& s) {
    return orth::SuggestCorrections(s, word, level, buffer, bufferSize, scores, maxCount);
  });
}

ORTH_API int32_t ORTH_SuggestRanked(int32_t session, const char* word, char* buffer,
                                    uint32_t bufferSize, int32_t* scores, int32_t maxCount) {
  return orth::WithSession(session, [&](orth::Session& s) {
    return orth::SuggestRanked(s, word, buffer, bufferSize, scores, maxCount);
  });
}

}  // extern "C"
