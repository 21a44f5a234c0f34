// The entry point. Under emscripten, once main has waited for input, which
// it does by suspending itself (Asyncify), the status main returns is
// lost; exit hands it on explicitly, and does the same everywhere else.
#include <cstdlib>

#include "program.h"

int main(int argc, char** argv) { std::exit(run_program(argc, argv)); }
