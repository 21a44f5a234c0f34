// The console on Windows.
#include <io.h>

#include <array>
#include <cstdio>

#include "platform_console.h"
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

std::FILE* open_console_of_its_own() {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  std::array<DWORD, 2> processes{};  // room to tell one from more
  if (GetConsoleMode(input, &mode) != 0 &&
      GetConsoleProcessList(processes.data(),
                            static_cast<DWORD>(processes.size())) == 1) {
    // The line that held the last answer is in the C library's buffer
    // already; only keys pressed after it are in the console's.
    FlushConsoleInputBuffer(input);
    return std::fopen("CONIN$", "r");  // the console's input, by its name
  }
  return nullptr;
}

bool standard_input_is_terminal() { return _isatty(_fileno(stdin)) != 0; }
