#include "server/BlobFile.h"

#include "base/KaExceptions.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

TBlobFile::TBlobFile(TBlobFile&& other) noexcept
    : FFd(std::move(other.FFd)), FSize(std::exchange(other.FSize, 0)) {}

TBlobFile& TBlobFile::operator=(TBlobFile&& other) noexcept {
  if (this != &other) {
    FFd = std::move(other.FFd);
    FSize = std::exchange(other.FSize, 0);
  }
  return *this;
}

bool TBlobFile::Open(const std::string& path) {
  Close();
  TScopedFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd)
    return false;
  struct stat st {};
  if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode))
    return false;
  FFd = std::move(fd);
  FSize = st.st_size;
  return true;
}

void TBlobFile::ReadExactly(void* buffer, int64_t count) {
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
  FSize = 0;
}
