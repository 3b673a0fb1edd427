#pragma once

// Scratch files of the model's tests and benchmarks.

#include "base/KaFiles.h"
#include "base/KaStreams.h"

#include <string>

// Removes a directory with everything below it.
inline void EraseTree(const std::string& dir) {
  for (const TSearchRec& entry : FindEntries(dir + "*"))
    entry.IsDirectory() ? EraseTree(dir + entry.Name + "\\") : void(RemoveFile(dir + entry.Name));
  RemoveDir(dir);
}

inline void WriteBytes(const std::string& fileName, const std::string& bytes) {
  TFileStream file(fileName, fmCreate);
  file.WriteString(bytes);
}
