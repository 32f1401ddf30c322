# Writes PROGRAM's icon with TOOL (under EMULATOR) to ACTUAL and fails unless it
# equals the committed EXPECTED.
execute_process(COMMAND ${EMULATOR} ${TOOL} ${PROGRAM} ${ACTUAL} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the icon tool failed: ${result}")
endif()
file(SHA256 ${EXPECTED} expected)
file(SHA256 ${ACTUAL} actual)
if(NOT expected STREQUAL actual)
  message(FATAL_ERROR "${EXPECTED} is out of date: copy ${ACTUAL} over it")
endif()
