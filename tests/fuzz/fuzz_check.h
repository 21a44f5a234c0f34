// What both fuzz targets share: a failed property stops the run with the
// input's finding, under libFuzzer and under the replay driver alike.
#ifndef FUZZ_CHECK_H
#define FUZZ_CHECK_H

#include <cstdio>
#include <cstdlib>

inline void check(bool holds, const char* property) {
  if (!holds) {
    std::fprintf(stderr, "property failed: %s\n", property);
    std::abort();
  }
}

#endif
