# Renders the manual page (its tables through tbl) with all warnings on,
# and lints it with mandoc down to its style notes; anything either
# reports fails the test.
#   cmake -DMANUAL=<page> -P check_manual_page.cmake
find_program(GROFF groff REQUIRED)
find_program(MANDOC mandoc REQUIRED)
execute_process(COMMAND ${GROFF} -t -man -ww -z ${MANUAL}
                RESULT_VARIABLE status ERROR_VARIABLE warnings OUTPUT_VARIABLE output)
if(NOT status EQUAL 0 OR NOT warnings STREQUAL "" OR NOT output STREQUAL "")
  message(FATAL_ERROR "groff reports on ${MANUAL} (status ${status}):\n${warnings}${output}")
endif()
execute_process(COMMAND ${MANDOC} -T lint -W style ${MANUAL}
                RESULT_VARIABLE status ERROR_VARIABLE warnings OUTPUT_VARIABLE output)
if(NOT status EQUAL 0 OR NOT warnings STREQUAL "" OR NOT output STREQUAL "")
  message(FATAL_ERROR "mandoc reports on ${MANUAL} (status ${status}):\n${warnings}${output}")
endif()
