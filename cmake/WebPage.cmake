# Writes the page PAGE: the template TEMPLATE with VERSION, with the
# program PROGRAM, the JavaScript file that emscripten made, and the page's
# own SCRIPTS inside it, so that the page is one file that needs nothing
# else. Then writes WORKER, the service worker of a served page, from its
# template WORKER_TEMPLATE, named for this very page by its hash.
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

string(SHA256 page_hash "${page}")
string(SUBSTRING "${page_hash}" 0 16 PAGE_HASH)
set(PROJECT_VERSION ${VERSION})
configure_file("${WORKER_TEMPLATE}" "${WORKER}" @ONLY)
