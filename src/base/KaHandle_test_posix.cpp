#include "base/KaHandle_posix.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>

namespace {

bool IsOpen(int fd) { return ::fcntl(fd, F_GETFD) != -1 || errno != EBADF; }

TEST(ScopedFd, RealDescriptorsCloseWithTheirLastOwner) {
  int fd;
  {
    TScopedFd file(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    ASSERT_TRUE(file.IsValid());
    fd = file.Get();
    TScopedFd moved(std::move(file));
    EXPECT_TRUE(IsOpen(fd));
  }
  EXPECT_FALSE(IsOpen(fd));

  TScopedFd kept(::open("/dev/null", O_RDONLY | O_CLOEXEC));
  int taken = kept.Take();
  kept.Reset();
  EXPECT_TRUE(IsOpen(taken)) << "a taken descriptor is the taker's";
  TScopedSystemFile portable(taken);
  portable.Reset();
  EXPECT_FALSE(IsOpen(taken));
}

TEST(ScopedFd, AFailedOpenHoldsNothing) {
  TScopedFd missing(::open("/no/such/file", O_RDONLY));
  EXPECT_FALSE(missing.IsValid());
  TScopedDir dir(::opendir("/no/such/dir"));
  EXPECT_FALSE(dir.IsValid());
}

} // namespace
