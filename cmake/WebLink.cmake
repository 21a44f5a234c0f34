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
