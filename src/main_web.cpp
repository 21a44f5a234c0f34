// The entry point in a browser or under node. Once main has waited for
// input, which it does by suspending itself (Asyncify), emscripten loses
// the status main returns; exit hands it on explicitly.
#include <cstdlib>

#include "program.h"

int main(int argc, char** argv) { std::exit(run_program(argc, argv)); }
