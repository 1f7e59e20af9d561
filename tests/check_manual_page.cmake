# Renders the manual page with all warnings on; any warning fails the test.
#   cmake -DMANUAL=<page> -P check_manual_page.cmake
find_program(GROFF groff REQUIRED)
execute_process(COMMAND ${GROFF} -man -ww -z ${MANUAL}
                RESULT_VARIABLE status ERROR_VARIABLE warnings OUTPUT_VARIABLE output)
if(NOT status EQUAL 0 OR NOT warnings STREQUAL "" OR NOT output STREQUAL "")
  message(FATAL_ERROR "groff reports on ${MANUAL} (status ${status}):\n${warnings}${output}")
endif()
