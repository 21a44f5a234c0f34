# Renders the manual page PAGE as the HTML page HTML with MANDOC, in the
# style STYLE, in English. Any message of mandoc's, a warning included,
# fails the build: the HTML is only as good as the page it comes from.
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${MANDOC} -T html -W warning ${PAGE}
  OUTPUT_VARIABLE html ERROR_VARIABLE messages RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT messages STREQUAL "")
  file(REMOVE ${HTML})
  message(FATAL_ERROR "mandoc (status ${status}) on ${PAGE}:\n${messages}")
endif()
# mandoc's own style shows every heading and term as a link; ours does not.
file(READ ${STYLE} style)
string(FIND "${html}" "<style>" style_start)
string(FIND "${html}" "</style>" style_end)
string(FIND "${html}" "<html>" html_start)
if(style_start EQUAL -1 OR style_end EQUAL -1 OR html_start EQUAL -1)
  message(FATAL_ERROR "mandoc's HTML has no <html> or no <style> to replace")
endif()
string(SUBSTRING "${html}" 0 ${style_start} before)
string(SUBSTRING "${html}" ${style_end} -1 after)
string(REPLACE "<html>" "<html lang=\"en\">" before "${before}")
set(html "${before}<style>\n${style}${after}")
# mandoc indents the end of a nested <pre>, which shows as an empty line.
string(REGEX REPLACE "\n[ ]+</pre>" "\n</pre>" html "${html}")
# A line of an example that begins with blanks is written with no-break
# spaces (\ \ in the page), since mandoc breaks the line before one that
# begins with a plain blank; written as plain spaces, an example copied
# from the page is the program's own bytes.
while(html MATCHES "\n( *)&#x00A0;")
  string(REGEX REPLACE "\n( *)&#x00A0;" "\n\\1 " html "${html}")
endwhile()
file(WRITE ${HTML} "${html}")
