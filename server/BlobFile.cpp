#include "server/BlobFile.h"

#include "base/KaExceptions.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

TScopedFd OpenRegularFile(const std::string& path, struct stat& status, bool followLink) {
  TScopedFd fd(
      ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | (followLink ? 0 : O_NOFOLLOW)));
  if (!fd || ::fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode))
    return {};
  // Reads of a regular file ignore the flag; cleared all the same, so the
  // descriptor behaves as any other once it is known to be a plain file.
  int flags = ::fcntl(fd.Get(), F_GETFL);
  if (flags < 0 || ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
    return {};
  return fd;
}

TBlobFile::TBlobFile(TBlobFile&& other) noexcept
    : FFd(std::move(other.FFd)), FHeld(std::move(other.FHeld)),
      FHeldRead(std::exchange(other.FHeldRead, 0)), FSize(std::exchange(other.FSize, 0)) {}

TBlobFile& TBlobFile::operator=(TBlobFile&& other) noexcept {
  if (this != &other) {
    FFd = std::move(other.FFd);
    FHeld = std::move(other.FHeld);
    FHeldRead = std::exchange(other.FHeldRead, 0);
    FSize = std::exchange(other.FSize, 0);
  }
  return *this;
}

bool TBlobFile::Open(const std::string& path) {
  Close();
  struct stat st {};
  FFd = OpenRegularFile(path, st);
  FSize = FFd ? static_cast<int64_t>(st.st_size) : 0;
  return IsOpen();
}

void TBlobFile::Open(std::shared_ptr<const std::string> bytes) {
  Close();
  FSize = static_cast<int64_t>(bytes->size());
  FHeld = std::move(bytes);
}

void TBlobFile::ReadExactly(void* buffer, int64_t count) {
  if (FHeld) {
    if (count > FSize - FHeldRead)
      throw EReadError("Stream read error");
    std::memcpy(buffer, FHeld->data() + FHeldRead, static_cast<size_t>(count));
    FHeldRead += count;
    return;
  }
  auto* p = static_cast<char*>(buffer);
  while (count > 0) {
    ssize_t n = ::read(FFd.Get(), p, static_cast<size_t>(count));
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      throw EReadError("Stream read error");
    p += n;
    count -= n;
  }
}

void TBlobFile::Close() {
  FFd.Reset();
  FHeld.reset();
  FHeldRead = 0;
  FSize = 0;
}
