#pragma once

#include "base/KaHandle.h"

#include <dirent.h>
#include <unistd.h>

// POSIX file descriptors: -1 is none.
struct TFdTraits {
  using Handle = int;
  static int Invalid() noexcept { return -1; }
  static bool IsValid(int fd) noexcept { return fd >= 0; }
  static void Close(int fd) noexcept { ::close(fd); }
};
using TScopedFd = TScopedHandle<TFdTraits>;

// A directory being read (opendir).
struct TDirTraits {
  using Handle = DIR*;
  static DIR* Invalid() noexcept { return nullptr; }
  static void Close(DIR* dir) noexcept { ::closedir(dir); }
};
using TScopedDir = TScopedHandle<TDirTraits>;
