# WebAssembly with emscripten (Debian's emscripten package, 3.1.6), run on
# this machine through node.
execute_process(COMMAND em-config EMSCRIPTEN_ROOT
  OUTPUT_VARIABLE emscripten_root OUTPUT_STRIP_TRAILING_WHITESPACE
  COMMAND_ERROR_IS_FATAL ANY)
include(${emscripten_root}/cmake/Modules/Platform/Emscripten.cmake)

# Plain node: emscripten's default adds --experimental-wasm-threads, which
# node 20 refuses.
find_program(NODE node nodejs REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${NODE})

# The optimising link runs emscripten's JavaScript tools under node, which
# find their modules (acorn) in Debian's folder only when told.
set(link_environment "")
if(EXISTS /usr/share/nodejs)
  list(APPEND link_environment NODE_PATH=/usr/share/nodejs)
endif()

# The calculator's JavaScript goes through Closure Compiler (--closure 1),
# the release that emscripten 3.1.6 was made with: Debian's is from 2013,
# and reads none of today's JavaScript. `npm ci --prefix web` installs it.
get_filename_component(web_dir ${CMAKE_CURRENT_LIST_DIR}/../../web ABSOLUTE)
find_program(WATER_CALCULATOR_CLOSURE_COMPILER google-closure-compiler
  PATHS ${web_dir}/node_modules/.bin NO_DEFAULT_PATH)
if(NOT WATER_CALCULATOR_CLOSURE_COMPILER)
  message(FATAL_ERROR "The web build needs Closure Compiler: npm ci --prefix ${web_dir}")
endif()
list(APPEND link_environment EM_CLOSURE_COMPILER=${WATER_CALCULATOR_CLOSURE_COMPILER})
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env ${link_environment})
set(CMAKE_C_LINKER_LAUNCHER ${CMAKE_CXX_LINKER_LAUNCHER})
