# The coverage preset's report: the line and branch coverage of src/ from
# the counters the tests left, which fails if a line or a branch was never
# run. The program throws nothing of its own, so branches that only pass an
# exception on are left out. The counters are zeroed before the build and
# the tests: those of an earlier run would count lines that the tests no
# longer reach, and those of an earlier build would clash with the rebuilt
# objects.
find_program(GCOVR gcovr REQUIRED)
add_custom_target(coverage_reset
  COMMAND find ${PROJECT_BINARY_DIR} -name *.gcda -delete
  VERBATIM)
add_custom_target(coverage_report
  COMMAND ${GCOVR} --root ${PROJECT_SOURCE_DIR}
          --filter ${PROJECT_SOURCE_DIR}/src/ --exclude-throw-branches
          --txt - --branches --print-summary
          --fail-under-line 100 --fail-under-branch 100 ${PROJECT_BINARY_DIR}
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  USES_TERMINAL
  VERBATIM)
