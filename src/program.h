// The whole program, for the entry point of each platform to run.
#ifndef PROGRAM_H
#define PROGRAM_H

// Returns the exit status.
int run_program(int argc, char** argv);

#endif
