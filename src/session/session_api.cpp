// Exported session and version functions.
#include "orth.h"
#include "session/c_edge.h"

extern "C" {

ORTH_API void ORTH_Version(int32_t* major, int32_t* minor) {
  if (major != nullptr) *major = ORTH_VERSION_MAJOR;
  if (minor != nullptr) *minor = ORTH_VERSION_MINOR;
}

ORTH_API int32_t ORTH_OpenSession(void) {
  return orth::Guarded([] { return orth::OpenSession(); });
}

ORTH_API int32_t ORTH_CloseSession(int32_t session) {
  // Not through WithSession: the close takes the table's lock before the
  // session's.
  return orth::Guarded([&] { return orth::CloseSession(session); });
}

}  // extern "C"
