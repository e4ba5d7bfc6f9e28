# Installs the build into a fresh temporary prefix, checks what was installed,
# and builds examples/walk_block.c against that prefix twice: through
# pkg-config and through find_package(ORTH). Both programs and the installed
# orthspell must run from the prefix.
# Arguments: BUILD_DIR, SOURCE_DIR, WORK, C_COMPILER, SANITIZE, LIBDIR, BINDIR,
# INCLUDEDIR, DATADIR.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(prefix "${WORK}/prefix")

function(must)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed (${status}): ${ARGN}\n${out}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

function(expect_in text pattern what)
  if(NOT text MATCHES "${pattern}")
    message(FATAL_ERROR "${what}: no match for '${pattern}' in:\n${text}")
  endif()
endfunction()

# The Enchant provider is a component of its own, installed into Enchant's
# module directory outside any prefix: leave it out here.
must("${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}" --component Unspecified)

# What the prefix holds: the library with its SONAME link, the one public
# header, the tool, the dictionaries with their copyright files, and both
# package descriptions.
foreach(path
    "${LIBDIR}/libORTHMV32.so" "${LIBDIR}/libORTHMV32.so.3"
    "${INCLUDEDIR}/orth.h" "${BINDIR}/orthspell"
    "${LIBDIR}/pkgconfig/orth.pc" "${LIBDIR}/cmake/ORTH/ORTHConfig.cmake"
    "${LIBDIR}/cmake/ORTH/ORTHConfigVersion.cmake"
    "${DATADIR}/orth/dicts/en_US.olx" "${DATADIR}/orth/dicts/en_GB.olx"
    "${DATADIR}/orth/dicts/es.olx" "${DATADIR}/orth/dicts/en_US.COPYRIGHT"
    "${DATADIR}/orth/dicts/en_GB.COPYRIGHT" "${DATADIR}/orth/dicts/es.COPYRIGHT")
  if(NOT EXISTS "${prefix}/${path}")
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()
file(GLOB headers RELATIVE "${prefix}/${INCLUDEDIR}" "${prefix}/${INCLUDEDIR}/*")
if(NOT headers STREQUAL "orth.h")
  message(FATAL_ERROR "only orth.h may be installed, found: ${headers}")
endif()

set(sanitize_flags)
if(SANITIZE)
  set(sanitize_flags -fsanitize=address,undefined)
endif()
set(example "${SOURCE_DIR}/examples/walk_block.c")

# 1. pkg-config.
find_program(PKG_CONFIG pkg-config)
if(NOT PKG_CONFIG)
  message(FATAL_ERROR "pkg-config is missing (tools/install-deps.sh installs it)")
endif()
set(ENV{PKG_CONFIG_PATH} "${prefix}/${LIBDIR}/pkgconfig")
must("${PKG_CONFIG}" --cflags --libs orth)
string(STRIP "${out}" pc_flags)
separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
must("${PKG_CONFIG}" --modversion orth)
expect_in("${out}" "^3\\." "pkg-config --modversion")
must("${C_COMPILER}" "${example}" ${pc_flags} ${sanitize_flags}
     "-Wl,-rpath,${prefix}/${LIBDIR}" -o "${WORK}/walk_block_pc")
must("${WORK}/walk_block_pc")
expect_in("${out}" "edited: The engine walks" "walk_block built with pkg-config")

# 2. find_package(ORTH) giving ORTH::ORTHMV32.
set(consumer "${WORK}/consumer")
file(MAKE_DIRECTORY "${consumer}")
file(WRITE "${consumer}/CMakeLists.txt" "
cmake_minimum_required(VERSION 3.25)
project(orth_consumer C)
find_package(ORTH 3 REQUIRED)
add_executable(walk_block \"${example}\")
target_link_libraries(walk_block PRIVATE ORTH::ORTHMV32)
")
string(REPLACE ";" " " sanitize_string "${sanitize_flags}")
must("${CMAKE_COMMAND}" -S "${consumer}" -B "${consumer}/build"
     "-DCMAKE_PREFIX_PATH=${prefix}" "-DCMAKE_C_COMPILER=${C_COMPILER}"
     "-DCMAKE_C_FLAGS=${sanitize_string}" "-DCMAKE_EXE_LINKER_FLAGS=${sanitize_string}")
must("${CMAKE_COMMAND}" --build "${consumer}/build")
must("${consumer}/build/walk_block")
expect_in("${out}" "edited: The engine walks" "walk_block built with find_package")

# 3. The installed orthspell finds its library and the installed
# dictionaries (a dictionary that exists only in the prefix proves the
# lookup goes there).
set(orthspell "${prefix}/${BINDIR}/orthspell")
file(WRITE "${WORK}/tiny.words" "zorblat\nflimwick\n")
must("${orthspell}" compile "${WORK}/tiny.words"
     -o "${prefix}/${DATADIR}/orth/dicts/orthtinytest.olx")
file(WRITE "${WORK}/tiny.txt" "zorblat flimwick\n")
must("${orthspell}" check -d orthtinytest "${WORK}/tiny.txt")
must("${orthspell}" check --no-exit-code -d en_GB "${SOURCE_DIR}/examples/sample.txt")
expect_in("${out}" "sample.txt:4:23: doubled word 'the'" "installed orthspell check")
message(STATUS "installed into ${prefix}; pkg-config and find_package consumers ran")
