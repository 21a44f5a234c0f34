# Writes the page PAGE: the template TEMPLATE with VERSION, DESCRIPTION
# and THEME_COLOUR, with the program PROGRAM, the JavaScript file that
# emscripten made, and the page's own SCRIPT inside it, so that the page is
# one file that needs nothing else. What the program prints before it first
# reads, run under NODE, is in the page's HTML, shown before the program
# has arrived; the program's WebAssembly sits apart from its script, as
# base64 that the engine does not parse as JavaScript. Then writes WORKER,
# the service worker of a served page, from its template WORKER_TEMPLATE:
# it keeps the page and the files KEPT, in a cache named for their contents
# by their hash, where WORKER is given.
cmake_minimum_required(VERSION 3.25)
file(READ "${TEMPLATE}" page)
file(READ "${PROGRAM}" program)
file(READ "${SCRIPT}" scripts)
# Each sits in a <script> element, which its own text must not end.
foreach(part IN ITEMS program scripts)
  string(FIND "${${part}}" "</script" script_end)
  if(NOT script_end EQUAL -1)
    message(FATAL_ERROR "the ${part} hold </script, which would end the page's script")
  endif()
endforeach()
# Until its first read: node's read ends the run.
execute_process(
  COMMAND ${NODE} --import
    "data:text/javascript,import fs from 'node:fs'; fs.read = () => process.exit(0);"
    ${PROGRAM}
  OUTPUT_VARIABLE first_text RESULT_VARIABLE started)
if(NOT started EQUAL 0 OR first_text STREQUAL "")
  message(FATAL_ERROR "the program printed nothing before its first read")
endif()
foreach(character IN ITEMS "&;&amp;" "<;&lt;" ">;&gt;")
  list(GET character 0 plain)
  list(GET character 1 escaped)
  string(REPLACE "${plain}" "${escaped}" first_text "${first_text}")
endforeach()
# Each line a span of its own, as the page's console writes it.
string(REGEX MATCHALL "[^\n]*\n|[^\n]+$" lines "${first_text}")
set(first_lines "")
foreach(line IN LISTS lines)
  string(APPEND first_lines "<span data-fd=\"1\" class=\"out\">${line}</span>")
endforeach()
list(GET lines -1 first_question)
string(STRIP "${first_question}" first_question)

# The WebAssembly, out of the script's data: address: the one whose bytes
# begin with WebAssembly's magic number, "\0asm".
set(prefix "\"data:application/octet-stream;base64,")
string(FIND "${program}" "${prefix}AGFzbQ" start)
if(start EQUAL -1)
  message(FATAL_ERROR "the program holds no WebAssembly as base64")
endif()
string(LENGTH "${prefix}" prefix_length)
math(EXPR start "${start} + ${prefix_length}")
string(SUBSTRING "${program}" ${start} -1 rest)
string(FIND "${rest}" "\"" length)
string(SUBSTRING "${rest}" 0 ${length} wasm)
string(REPLACE "${prefix}${wasm}\"" "${prefix}\"" program "${program}")

string(REPLACE "@FIRST_LINES@" "${first_lines}" page "${page}")
string(REPLACE "@FIRST_QUESTION@" "${first_question}" page "${page}")
string(REPLACE "@PROGRAM_WASM@" "${wasm}" page "${page}")
string(REPLACE "@PROJECT_VERSION@" "${VERSION}" page "${page}")
string(REPLACE "@PROJECT_DESCRIPTION@" "${DESCRIPTION}" page "${page}")
string(REPLACE "@THEME_COLOUR@" "${THEME_COLOUR}" page "${page}")
string(REPLACE "@PAGE_SCRIPT@" "${scripts}" page "${page}")
string(REPLACE "@PROGRAM@" "${program}" page "${page}")
# The policy lets only these scripts run, each named by the hash of its
# text as the engine hashes it: SHA-256 of the UTF-8 between <script> and
# </script>, in base64.
file(WRITE "${PAGE}" "${page}")
execute_process(COMMAND ${NODE} -e [[
    const {createHash} = require('node:crypto');
    const page = require('node:fs').readFileSync(process.argv[1], 'utf8');
    process.stdout.write([...page.matchAll(/<script>([\s\S]*?)<\/script>/g)]
      .map(([, text]) => `'sha256-${createHash('sha256').update(text).digest('base64')}'`).join(' '));
  ]] "${PAGE}" OUTPUT_VARIABLE script_hashes COMMAND_ERROR_IS_FATAL ANY)
string(REPLACE "@SCRIPT_HASHES@" "${script_hashes}" page "${page}")
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
