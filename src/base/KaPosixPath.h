#pragma once

#include <string>

// The system works with Windows paths ("\" separators). Natively the same paths
// reach the file system with "/" in their place, so portable code and its tests
// run unchanged.
inline std::string NativePath(std::string path) {
  for (char& c : path)
    if (c == '\\')
      c = '/';
  return path;
}
