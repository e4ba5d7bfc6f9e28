# The configuration refuses an Enchant whose provider interface the provider
# does not implement: pkg-config is made to report another enchant-2 (a .pc
# file of that version put first on PKG_CONFIG_PATH) and the project is
# configured afresh.
#
#   cmake -DSOURCE_DIR=... -DWORK=... -P interface_version_test.cmake
#
# 2.7.0 with -DORTH_ENCHANT=ON: an error naming the version and the way out.
# 2.5.0 by default: a warning, the provider left out, the rest configured.
foreach(variable SOURCE_DIR WORK)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "${variable} is not set")
  endif()
endforeach()

execute_process(COMMAND pkg-config --variable=libdir enchant-2
  OUTPUT_VARIABLE libdir OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND pkg-config --variable=includedir enchant-2
  OUTPUT_VARIABLE includedir OUTPUT_STRIP_TRAILING_WHITESPACE)

set(failures "")

# configure(VERSION OUTPUT RESULT [cmake arguments...])
function(configure version out_var result_var)
  set(pcdir "${WORK}/pkgconfig-${version}")
  set(build "${WORK}/build-${version}")
  file(REMOVE_RECURSE "${pcdir}" "${build}")
  file(MAKE_DIRECTORY "${pcdir}")
  file(WRITE "${pcdir}/enchant-2.pc"
    "libdir=${libdir}\nincludedir=${includedir}\n"
    "Name: libenchant\nDescription: Enchant of another version\nVersion: ${version}\n"
    "Libs: -L\${libdir} -lenchant-2\nCflags: -I\${includedir}/enchant-2\n")
  set(ENV{PKG_CONFIG_PATH} "${pcdir}")
  execute_process(COMMAND "${CMAKE_COMMAND}" -S "${SOURCE_DIR}" -B "${build}"
      -DORTH_BUILD_TESTS=OFF -DORTH_BUILD_BENCH=OFF ${ARGN}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE result)
  file(REMOVE_RECURSE "${pcdir}" "${build}")
  # CMake wraps its messages: compare them with the line breaks as spaces.
  string(REGEX REPLACE "[ \n]+" " " out "${out}${err}")
  set(${out_var} "${out}" PARENT_SCOPE)
  set(${result_var} "${result}" PARENT_SCOPE)
endfunction()

# expect(TEXT WHAT FRAGMENT...)
function(expect text what)
  foreach(fragment IN LISTS ARGN)
    string(FIND "${text}" "${fragment}" at)
    if(at LESS 0)
      set(failures "${failures}\n${what}: no '${fragment}' in:\n${text}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
endfunction()

configure(2.7.0 out result -DORTH_ENCHANT=ON)
if(result EQUAL 0)
  set(failures "${failures}\nEnchant 2.7.0 with -DORTH_ENCHANT=ON configured")
endif()
expect("${out}" "Enchant 2.7.0 with -DORTH_ENCHANT=ON"
  "CMake Error at enchant/CMakeLists.txt" "Enchant 2.7.0 found"
  "provider interface of Enchant 2.3 and 2.4" "Configure with -DORTH_ENCHANT=OFF")

configure(2.5.0 out result)
if(NOT result EQUAL 0)
  set(failures "${failures}\nEnchant 2.5.0 by default did not configure:\n${out}")
endif()
expect("${out}" "Enchant 2.5.0 by default" "CMake Warning at enchant/CMakeLists.txt"
  "Enchant 2.5.0 found" "Enchant provider: not built (ORTH_ENCHANT is OFF)"
  "Generating done")

if(failures)
  message(FATAL_ERROR "${failures}")
endif()
message(STATUS "Enchant 2.7.0 refused with an error, 2.5.0 left out with a warning")
