# What the two mingw-w64 toolchain files share; ORTH_MINGW_TRIPLE names the
# target.
set(CMAKE_C_COMPILER ${ORTH_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORTH_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ORTH_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ORTH_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The C++ runtime, libgcc and winpthread go into each module, so that the DLL
# and the programs need nothing beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Release at -O2: at -O3 the mingw-w64 GCC 12 warns falsely (-Wrestrict)
# inside its own std::string code. Set as cache entries, which the compiler's
# defaults do not override (its *_INIT flags would be followed by -O3).
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of Release builds")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of Release builds")
