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

# For the web, each program is one JavaScript file that holds its
# WebAssembly. The calculator runs under node and in a page alike, with the
# standard streams of web/stdio.js, whose reads suspend the program
# (Asyncify) until input comes: water_web_console. The test programs run
# under node only, and read their files through it: water_node_files.
# Elsewhere both are empty.
add_library(water_web_console INTERFACE)
add_library(water_node_files INTERFACE)
if(EMSCRIPTEN)
  # Every byte is sent to a phone: optimised for size, across the whole
  # program, with emscripten's small allocator.
  target_compile_options(water_flags INTERFACE -Oz -flto)
  target_link_options(water_flags INTERFACE -Oz -flto -sMALLOC=emmalloc
    -sEXIT_RUNTIME=1 -sSINGLE_FILE=1 -sALLOW_MEMORY_GROWTH=1)
  get_filename_component(web_dir ${CMAKE_CURRENT_LIST_DIR}/../web ABSOLUTE)
  set(web_stdio ${web_dir}/stdio.js)
  set(web_instantiate ${web_dir}/instantiate.js)
  # One program for browsers and node alike, which the tests run: its
  # JavaScript optimised whole by Closure Compiler, and its WebAssembly
  # decoded by the engine where it can.
  target_link_options(water_web_console INTERFACE
    --js-library ${web_stdio} --pre-js ${web_instantiate} --closure 1
    -sENVIRONMENT=web,node -sFILESYSTEM=0 -sASYNCIFY
    "-sASYNCIFY_IMPORTS=['wasi_snapshot_preview1.fd_read']")
  set_property(TARGET water_web_console APPEND PROPERTY INTERFACE_LINK_DEPENDS
    ${web_stdio} ${web_instantiate})
  target_link_options(water_node_files INTERFACE -sNODERAWFS=1)
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

# Asyncify instruments only the functions named after TARGET, those on
# the way from main to a read, not every one that makes an indirect call,
# which would double the code. The list holds those that the build keeps
# (others are inlined into them); it depends on the optimisation, and a
# function missing from it breaks every read that passes through it. It
# goes with TARGET's code, to every program linked with it.
function(water_asyncify_only target)
  if(EMSCRIPTEN)
    set(read_path ${ARGN})
    list(TRANSFORM read_path PREPEND "'")
    list(TRANSFORM read_path APPEND "'")
    list(JOIN read_path "," read_path)
    target_link_options(${target} PUBLIC "-sASYNCIFY_ONLY=[${read_path}]")
  endif()
endfunction()

function(water_link_runtime_statically target)
  # The check's result is cached: an earlier plain configure of this build
  # tree may have set it before instrumentation was turned on.
  if(WATER_CAN_LINK_STATICALLY AND NOT water_instrumented)
    target_link_options(${target} PRIVATE $<$<CONFIG:Release>:-static>)
  endif()
endfunction()
