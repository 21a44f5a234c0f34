# Renders the manual page PAGE as the HTML page HTML with MANDOC. Any
# message of mandoc's, a warning included, fails the build: the HTML is
# only as good as the page it comes from.
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${MANDOC} -T html -W warning ${PAGE}
  OUTPUT_FILE ${HTML} ERROR_VARIABLE messages RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT messages STREQUAL "")
  file(REMOVE ${HTML})
  message(FATAL_ERROR "mandoc (status ${status}) on ${PAGE}:\n${messages}")
endif()
