// The optional debug log "lexdbg.log". The debug level is a build setting; at
// level 0 no file is ever touched.
#pragma once

namespace orth {

// Opens the log for appending and writes its start line, once per process;
// a failure to open is tried again at the next call.
void StartDebugLog();

}  // namespace orth
