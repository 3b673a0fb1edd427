#pragma once

#include "base/KaHandle.h"

#include <unistd.h>

// POSIX file descriptors: -1 is none.
struct TFdTraits {
  using Handle = int;
  static int Invalid() noexcept { return -1; }
  static bool IsValid(int fd) noexcept { return fd >= 0; }
  static void Close(int fd) noexcept { ::close(fd); }
};
using TScopedFd = TScopedHandle<TFdTraits>;
