# orthspell compile on a small list, then orthspell dump, compared with the
# expected words; then bad usage and bad input, which must fail with one line
# on stderr. Arguments: ORTHSPELL (the tool), DATA (tests/data/orthspell),
# WORK (a scratch folder of this test), EMULATOR (what runs it in a cross
# build, else empty).
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

function(run expected_status)
  execute_process(COMMAND ${EMULATOR} "${ORTHSPELL}" ${ARGN}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(expected_status STREQUAL "0" AND NOT status EQUAL 0)
    message(FATAL_ERROR "orthspell ${ARGN} failed (${status}): ${err}")
  endif()
  if(NOT expected_status STREQUAL "0")
    if(NOT status EQUAL expected_status)
      message(FATAL_ERROR "orthspell ${ARGN}: status ${status}, expected ${expected_status}")
    endif()
    if(NOT err MATCHES "^orthspell[^\n]+\n$")
      message(FATAL_ERROR "orthspell ${ARGN}: expected one line on stderr, got '${err}'")
    endif()
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

run(0 compile "${DATA}/small.words" -o "${WORK}/small.olx" --language 9)
foreach(line "words written:   27" "words skipped:   0" "verified:        every word found")
  string(FIND "${out}" "${line}" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "the compile summary lacks '${line}':\n${out}")
  endif()
endforeach()

execute_process(COMMAND ${EMULATOR} "${ORTHSPELL}" dump "${WORK}/small.olx"
  OUTPUT_FILE "${WORK}/small.dump" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "orthspell dump failed (${status})")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files
  "${WORK}/small.dump" "${DATA}/small.dump" RESULT_VARIABLE different)
if(different)
  message(FATAL_ERROR "the dump of small.olx differs from ${DATA}/small.dump")
endif()

run(0 dump --info "${WORK}/small.olx")
foreach(line "language:        9" "short words:     6" "words:           27")
  string(FIND "${out}" "${line}" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "dump --info lacks '${line}':\n${out}")
  endif()
endforeach()
run(0 compile --help)
run(0 dump --help)

# Bad usage: status 2.
run(2 compile "${DATA}/small.words")
run(2 compile -o "${WORK}/x.olx")
run(2 compile "${DATA}/small.words" -o "${WORK}/x.olx" --encoding utf-16)
run(2 compile "${DATA}/small.words" -o "${WORK}/x.olx" --language 70000)
run(2 compile "${DATA}/small.words" -o)
run(2 dump)
run(2 dump "${WORK}/small.olx" --words)
run(2 frobnicate)
# Bad input: status 1.
run(1 compile "${WORK}/missing.words" -o "${WORK}/x.olx")
file(COPY "${DATA}/small.words" DESTINATION "${WORK}/copy")
run(1 compile "${WORK}/copy/small.words" -o "${WORK}/copy/small.words")
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files
  "${WORK}/copy/small.words" "${DATA}/small.words" RESULT_VARIABLE different)
if(different)
  message(FATAL_ERROR "compiling a list onto itself replaced it")
endif()
run(1 dump "${DATA}/small.words")
run(1 dump "${WORK}/missing.olx")
