# Cross-builds the engine, orthspell.exe and the tests for 64-bit Windows with
# Debian's mingw-w64 (the posix thread model: the engine uses std::mutex),
# and runs what the build and CTest start under wine64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ORTH_MINGW_TRIPLE x86_64-w64-mingw32)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake")
# Debian installs wine64 outside PATH.
find_program(ORTH_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CACHE)
if(ORTH_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${ORTH_WINE64}")
endif()
