// The entry routine of ORTHMV32.dll. It does no engine work: sessions are
// opened by the host's calls, and loading the module must succeed whatever
// the host does next. The engine keeps no per-thread state, so it asks not to
// be told of threads starting and ending.
#include <windows.h>

#include <cstdint>

// Hosts of the 32-bit module pass the dispatcher 32-bit values.
#if !defined(_WIN64)
static_assert(sizeof(intptr_t) == 4, "the 32-bit dispatcher takes 32-bit arguments");
#endif

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(module);
  return TRUE;
}
