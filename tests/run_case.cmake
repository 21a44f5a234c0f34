# Runs PROGRAM on CASE.in and compares the exact standard output, standard
# error and exit status with CASE.out and CASE.err (status 1 with an .err).
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${PROGRAM} INPUT_FILE ${CASE}.in
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
file(READ ${CASE}.out expected_out)
set(expected_err "")
set(expected_status 0)
if(EXISTS ${CASE}.err)
  file(READ ${CASE}.err expected_err)
  set(expected_status 1)
endif()
foreach(part out err status)
  if(NOT "${${part}}" STREQUAL "${expected_${part}}")
    message(FATAL_ERROR "standard ${part} differs\n"
      "expected:\n${expected_${part}}\nactual:\n${${part}}")
  endif()
endforeach()
