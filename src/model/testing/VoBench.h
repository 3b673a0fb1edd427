#pragma once

// Helpers of the model's benchmarks: a clock, scratch files and a table row.

#include "model/testing/VoScratchFiles.h"

#include <chrono>
#include <cstdio>
#include <string>

inline double Seconds(const std::chrono::steady_clock::time_point& since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Times one run of `work` and returns the seconds it took.
template <class F> double Timed(F&& work) {
  auto start = std::chrono::steady_clock::now();
  work();
  return Seconds(start);
}

inline std::string BenchDir(const char* name) {
  std::string dir = GetTempDir() + name + "\\";
  EraseTree(dir);
  ForceDirectories(dir);
  return dir;
}

inline void Row(const char* what, long count, double seconds) {
  std::printf("  %-44s %9ld  %9.3f s  %10.2f us each\n", what, count, seconds,
              seconds * 1e6 / count);
}
