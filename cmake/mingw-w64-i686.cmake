# Cross-builds the engine, orthspell.exe and the tests for 32-bit Windows with
# Debian's mingw-w64 (the posix thread model: the engine uses std::mutex),
# and runs what the build and CTest start under wine (wine32).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ORTH_MINGW_TRIPLE i686-w64-mingw32)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake")
find_program(ORTH_WINE32 NAMES wine PATHS /usr/lib/wine NO_DEFAULT_PATH NO_CACHE)
if(ORTH_WINE32)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${ORTH_WINE32}")
endif()
