# 64-bit Windows programs from Debian's mingw-w64 cross compiler (the posix
# threading flavour), run on this machine through wine64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)

set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

# Headers and libraries from the target's own tree, programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Debian's wine64 package keeps its loader out of PATH. Wine's own messages
# are silenced, and its prefix lives in the build tree, not in $HOME.
if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(WINE64 wine64 PATHS /usr/lib/wine)
  if(WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR
      env WINEDEBUG=-all WINEPREFIX=${CMAKE_BINARY_DIR}/wine ${WINE64})
  endif()
endif()
