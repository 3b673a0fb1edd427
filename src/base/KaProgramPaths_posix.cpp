#include "base/KaProgramPaths.h"

#include <unistd.h>

// Natively the path is given in the system's Windows-like form with "\", as
// the rest of the code expects.
std::string ProgramFileName() {
  char buffer[4096];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  std::string path(buffer, n > 0 ? static_cast<size_t>(n) : 0);
  for (char& c : path)
    if (c == '/')
      c = '\\';
  return path;
}
