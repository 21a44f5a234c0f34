# Writes the page PAGE: the template TEMPLATE with VERSION, with the
# program PROGRAM, the JavaScript file that emscripten made, and the page's
# own SCRIPTS inside it, so that the page is one file that needs nothing
# else. Then writes WORKER, the service worker of a served page, from its
# template WORKER_TEMPLATE: it keeps the page and the files KEPT, in a
# cache named for their contents by their hash, where WORKER is given.
cmake_minimum_required(VERSION 3.25)
file(READ "${TEMPLATE}" page)
file(READ "${PROGRAM}" program)
set(scripts "")
foreach(script IN LISTS SCRIPTS)
  file(READ "${script}" text)
  string(APPEND scripts "${text}")
endforeach()
# Each sits in a <script> element, which its own text must not end.
foreach(part IN ITEMS program scripts)
  string(FIND "${${part}}" "</script" script_end)
  if(NOT script_end EQUAL -1)
    message(FATAL_ERROR "the ${part} hold </script, which would end the page's script")
  endif()
endforeach()
string(REPLACE "@PROJECT_VERSION@" "${VERSION}" page "${page}")
string(REPLACE "@PAGE_SCRIPT@" "${scripts}" page "${page}")
string(REPLACE "@PROGRAM@" "${program}" page "${page}")
file(WRITE "${PAGE}" "${page}")
if(NOT WORKER)
  return()
endif()

get_filename_component(page_name "${PAGE}" NAME)
set(contents "${page}")
set(KEPT_FILES "'${page_name}'")
foreach(file IN LISTS KEPT)
  file(SHA256 "${file}" file_hash)
  get_filename_component(name "${file}" NAME)
  string(APPEND contents "${name} ${file_hash}\n")
  string(APPEND KEPT_FILES ", '${name}'")
endforeach()
string(SHA256 contents_hash "${contents}")
string(SUBSTRING "${contents_hash}" 0 16 CONTENTS_HASH)
set(PROJECT_VERSION ${VERSION})
configure_file("${WORKER_TEMPLATE}" "${WORKER}" @ONLY)
