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
if(EXISTS /usr/share/nodejs)
  set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
endif()
