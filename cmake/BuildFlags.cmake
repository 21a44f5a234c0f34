# What every target of the project compiles and links with: the warnings,
# and the instrumentation that a sanitizer, fuzzing or coverage build asks
# for. Instrumentation must cover all the code, or a sanitizer misses the
# faults in the parts built without it.
add_library(water_flags INTERFACE)

if(MSVC)
  target_compile_options(water_flags INTERFACE /W4)
else()
  target_compile_options(water_flags INTERFACE
    -Wall -Wextra -Wpedantic -Wconversion -Wshadow)
endif()

# float-cast-overflow is not in "undefined" for Clang 14, and a report must
# stop the run, or a test that goes on to pass would hide it. A division by
# zero is not asked for: a zero diameter divides by zero on purpose.
if(WATER_CALCULATOR_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "Fuzzing needs Clang's libFuzzer; use the fuzz preset")
endif()
if(WATER_CALCULATOR_SANITIZE OR WATER_CALCULATOR_FUZZ)
  set(sanitizers
    -fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all)
  target_compile_options(water_flags INTERFACE ${sanitizers}
    -fno-omit-frame-pointer
    $<$<BOOL:${WATER_CALCULATOR_FUZZ}>:-fsanitize=fuzzer-no-link>)
  target_link_options(water_flags INTERFACE ${sanitizers})
  # Clang 14's sanitizer runtimes fail to start where the kernel randomises
  # addresses with more than 28 bits. The programs built with them run
  # without address randomisation, which they do not need, through the hook
  # that every test and CTest's discovery of the unit tests run them by.
  find_program(SETARCH setarch)
  if(SETARCH AND NOT CMAKE_CROSSCOMPILING)
    set(CMAKE_CROSSCOMPILING_EMULATOR
      ${SETARCH} ${CMAKE_HOST_SYSTEM_PROCESSOR} --addr-no-randomize)
  endif()
endif()

# A Windows program's header holds its link time, which would make every
# build of the same source differ.
if(MINGW)
  target_link_options(water_flags INTERFACE -Wl,--no-insert-timestamp)
endif()

if(WATER_CALCULATOR_COVERAGE)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    message(FATAL_ERROR "Coverage is measured with GCC's gcov; use the coverage preset")
  endif()
  target_compile_options(water_flags INTERFACE --coverage)
  target_link_options(water_flags INTERFACE --coverage)
endif()

# A dynamically linked C++ program spends most of a short run loading the
# C++ runtime; linked statically it starts as cheaply as a C program. Only
# for Release builds without instrumentation (the sanitizers cannot be
# linked statically), and only where the platform can link that way.
set(water_instrumented OFF)
if(WATER_CALCULATOR_SANITIZE OR WATER_CALCULATOR_FUZZ OR WATER_CALCULATOR_COVERAGE)
  set(water_instrumented ON)
endif()
if(NOT MSVC AND NOT water_instrumented)
  include(CheckCXXSourceCompiles)
  set(CMAKE_REQUIRED_LINK_OPTIONS -static)
  check_cxx_source_compiles("#include <iostream>
int main() { std::cout << 1; }" WATER_CAN_LINK_STATICALLY)
  unset(CMAKE_REQUIRED_LINK_OPTIONS)
endif()

function(water_link_runtime_statically target)
  # The check's result is cached: an earlier plain configure of this build
  # tree may have set it before instrumentation was turned on.
  if(WATER_CAN_LINK_STATICALLY AND NOT water_instrumented)
    target_link_options(${target} PRIVATE $<$<CONFIG:Release>:-static>)
  endif()
endfunction()
