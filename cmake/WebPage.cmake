# Writes the page PAGE: the template TEMPLATE with VERSION and with the
# program PROGRAM, the JavaScript file that emscripten made, inside it, so
# that the page is one file that needs nothing else.
cmake_minimum_required(VERSION 3.25)
file(READ "${TEMPLATE}" page)
file(READ "${PROGRAM}" program)
# The program sits in a <script> element, which its own text must not end.
string(FIND "${program}" "</script" script_end)
if(NOT script_end EQUAL -1)
  message(FATAL_ERROR "${PROGRAM} holds </script, which would end the page's script")
endif()
string(REPLACE "@PROJECT_VERSION@" "${VERSION}" page "${page}")
string(REPLACE "@PROGRAM@" "${program}" page "${page}")
file(WRITE "${PAGE}" "${page}")
