# Runs vantorel-inspect once and fails unless it exits with EXPECTED_STATUS and its output
# (standard output and standard error together) matches EXPECTED_OUTPUT.
# Usage: cmake -DPROGRAM=... [-DEMULATOR=...] -DARGUMENTS=a;b -DEXPECTED_STATUS=n
#              -DEXPECTED_OUTPUT=regex -P run_host_view.cmake
execute_process(
    COMMAND ${EMULATOR} ${PROGRAM} ${ARGUMENTS}
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output
    RESULT_VARIABLE status)
if(NOT "${status}" STREQUAL "${EXPECTED_STATUS}")
    message(FATAL_ERROR "vantorel-inspect ${ARGUMENTS} exited with ${status}, expected "
                        "${EXPECTED_STATUS}:\n${output}")
endif()
if(NOT output MATCHES "${EXPECTED_OUTPUT}")
    message(FATAL_ERROR "vantorel-inspect ${ARGUMENTS} printed no \"${EXPECTED_OUTPUT}\":\n${output}")
endif()
