# orthspell check on examples/sample.txt prints the committed findings, on
# every platform (the Windows build runs it under Wine). Arguments: ORTHSPELL,
# EMULATOR (what runs it in a cross build, else empty), SOURCE_DIR, EXPECTED.
execute_process(COMMAND ${EMULATOR} "${ORTHSPELL}" check -d en_US --no-exit-code
                        examples/sample.txt
  WORKING_DIRECTORY "${SOURCE_DIR}"
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "orthspell check failed (${status}): ${err}")
endif()
file(READ "${EXPECTED}" expected)
if(NOT out STREQUAL expected)
  message(FATAL_ERROR "orthspell check printed:\n${out}\nexpected:\n${expected}")
endif()
message(STATUS "the findings on the sample match ${EXPECTED}")
