# Copies the text file INPUT to OUTPUT with every line ending in CR LF, for
# the Windows archive: Notepad before Windows 10 1809 shows a file of bare
# LF line ends as one long line.
cmake_minimum_required(VERSION 3.25)
file(READ "${INPUT}" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${OUTPUT}" "${text}")
