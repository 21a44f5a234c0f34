# Runs PROGRAM (through EMULATOR, in a cross build) on CASE.in, with the
# arguments in CASE.args (one a line) where there is one, under the name in
# CASE.argv0 where there is one (natively: an emulator names the program
# itself), and compares the
# exact standard output, standard error and exit status with CASE.out and
# CASE.err (status 1 with an .err). @PROJECT_VERSION@ in CASE.out stands
# for VERSION. A program for Windows ends each line with CR LF.
cmake_minimum_required(VERSION 3.25)
set(arguments "")
if(EXISTS "${CASE}.args")
  file(STRINGS "${CASE}.args" arguments)
endif()
# The output goes to files, kept for a look after a failure. They are
# compared by hash: reading them as text would drop each CR before an LF.
get_filename_component(name "${CASE}" NAME)
set(actual "${CMAKE_CURRENT_BINARY_DIR}/cases/${name}")
file(MAKE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}/cases")
set(launcher ${EMULATOR})
if(EXISTS "${CASE}.argv0" AND NOT EMULATOR)
  file(STRINGS "${CASE}.argv0" argv0)
  set(launcher bash -c "exec -a \"$0\" \"$@\"" "${argv0}")
endif()
execute_process(COMMAND ${launcher} "${PROGRAM}" ${arguments}
  INPUT_FILE "${CASE}.in" OUTPUT_FILE "${actual}.out"
  ERROR_FILE "${actual}.err" RESULT_VARIABLE status)
set(expected_err "")
set(expected_status 0)
if(EXISTS "${CASE}.err")
  file(READ "${CASE}.err" expected_err)
  set(expected_status 1)
endif()
file(READ "${CASE}.out" expected_out)
string(REPLACE "@PROJECT_VERSION@" "${VERSION}" expected_out "${expected_out}")
foreach(part out err)
  if(TARGET_SYSTEM STREQUAL "Windows")
    string(REPLACE "\n" "\r\n" expected_${part} "${expected_${part}}")
  endif()
  string(SHA256 expected_hash "${expected_${part}}")
  file(SHA256 "${actual}.${part}" actual_hash)
  if(NOT actual_hash STREQUAL expected_hash)
    file(READ "${actual}.${part}" shown)
    message(FATAL_ERROR "standard ${part} differs (bytes in ${actual}.${part})\n"
      "expected:\n${expected_${part}}\nactual:\n${shown}")
  endif()
endforeach()
if(NOT "${status}" STREQUAL "${expected_status}")
  message(FATAL_ERROR "exit status ${status}, expected ${expected_status}")
endif()
