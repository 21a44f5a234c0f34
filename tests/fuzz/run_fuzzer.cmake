# Fuzzes FUZZER (through LAUNCHER, where one is given) for SECONDS from the
# SEEDS corpus, growing a working corpus in WORK. Prints the run's totals;
# on a finding, prints the whole log and fails, leaving the input that
# failed in WORK/findings.
cmake_minimum_required(VERSION 3.25)
file(MAKE_DIRECTORY "${WORK}/corpus" "${WORK}/findings")
execute_process(
  COMMAND ${LAUNCHER} "${FUZZER}" "${WORK}/corpus" "${SEEDS}"
          -max_total_time=${SECONDS} -timeout=10 -rss_limit_mb=2048
          -max_len=8192 -print_final_stats=1
          "-artifact_prefix=${WORK}/findings/"
  OUTPUT_VARIABLE log ERROR_VARIABLE log RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${log}\nfuzzing found a fault; the input is in ${WORK}/findings")
endif()
string(REGEX MATCHALL "(Done [0-9]+ runs[^\n]*|stat::[^\n]*)" totals "${log}")
list(JOIN totals "\n" totals)
message("${totals}")
