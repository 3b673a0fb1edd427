#pragma once

// A property of a fuzz target: when it does not hold the target aborts, which
// libFuzzer reports as a finding, after naming the property and its line.

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                      \
  do {                                                                                             \
    if (!(condition)) {                                                                            \
      std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", __FILE__, __LINE__, #condition);      \
      std::abort();                                                                                \
    }                                                                                              \
  } while (0)
