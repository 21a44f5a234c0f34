#include "console_window.h"

#include <cstdlib>
#include <istream>
#include <limits>
#include <ostream>

#include "dialogue.h"

#ifdef _WIN32
#include <array>
#ifndef NOMINMAX
#define NOMINMAX  // keeps std::numeric_limits<T>::max free of the max macro
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

std::ifstream open_console_of_its_own() {
  std::ifstream console;
#ifdef _WIN32
  DWORD mode = 0;
  std::array<DWORD, 2> processes{};  // room to tell one from more
  if (GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0 &&
      GetConsoleProcessList(processes.data(),
                            static_cast<DWORD>(processes.size())) == 1) {
    console.open("CONIN$");  // the console's input, by its Windows name
  }
#endif
  return console;
}

int finish_run(int status, bool window_of_its_own, std::istream& in,
               std::ostream& out, std::istream& console, std::ostream& err) {
  if (!window_of_its_own) {
    if (status == EXIT_SUCCESS) {
      wait_for_closing_entry(in, out);
    }
    return status;
  }
  constexpr auto whole_line = std::numeric_limits<std::streamsize>::max();
  // Input that ended has no line left to discard.
  if (!in.eof()) {
    in.clear();
    in.ignore(whole_line, '\n');
  }
  err << "Press Enter to close this window.";
  err.flush();
  console.ignore(whole_line, '\n');
  return status;
}
