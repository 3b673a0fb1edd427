#pragma once

// A small installation directory that the fuzz targets of the file list and
// the manifest scan: a few files, a sub-directory and an empty one, made
// once per process in the system's temporary directory and removed at exit.

#include "base/KaFiles.h"
#include "base/KaStreams.h"

#include <cstdlib>
#include <string>
#include <unistd.h>

inline void FuzzEraseTree(const std::string& dir) {
  for (const TSearchRec& entry : FindEntries(dir + "*"))
    entry.IsDirectory() ? FuzzEraseTree(dir + entry.Name + "\\")
                        : void(RemoveFile(dir + entry.Name));
  RemoveDir(dir);
}

inline std::string FuzzScratchDir() {
  static std::string dir;
  if (!dir.empty())
    return dir;
  dir = GetTempDir() + "ws_fuzz_" + std::to_string(::getpid()) + "\\";
  ForceDirectories(dir + "bin\\");
  ForceDirectories(dir + "empty\\");
  auto write = [](const std::string& name, const std::string& bytes) {
    TFileStream file(dir + name, fmCreate);
    file.WriteString(bytes);
  };
  write("app.exe", "MZ application");
  write("settings.ini", "[a]\r\nb=c\r\n");
  write("bin\\tool.exe", "MZ tool");
  std::atexit([] { FuzzEraseTree(dir); });
  return dir;
}

// Every entry below the directory, files with size and time (but not the
// subtree `skip`), to tell that a step changed nothing there.
inline std::string FuzzScratchListing(const std::string& dir, const std::string& skip = {}) {
  std::string out;
  for (const TSearchRec& entry : FindEntries(dir + "*")) {
    if (!entry.IsDirectory()) {
      out += dir + entry.Name + " " + std::to_string(entry.Size) + " " +
             std::to_string(entry.Time.ToDouble()) + "\n";
      continue;
    }
    // A directory by name only: its time moves with what happens inside.
    out += dir + entry.Name + "\\\n";
    if (dir + entry.Name + "\\" != skip)
      out += FuzzScratchListing(dir + entry.Name + "\\", skip);
  }
  return out;
}
