#include "server/BlobFile.h"

#include "base/KaExceptions.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

TBlobFile::~TBlobFile() { Close(); }

TBlobFile::TBlobFile(TBlobFile&& other) noexcept
    : FFd(std::exchange(other.FFd, -1)), FSize(std::exchange(other.FSize, 0)) {}

TBlobFile& TBlobFile::operator=(TBlobFile&& other) noexcept {
  if (this != &other) {
    Close();
    FFd = std::exchange(other.FFd, -1);
    FSize = std::exchange(other.FSize, 0);
  }
  return *this;
}

bool TBlobFile::Open(const std::string& path) {
  Close();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  FFd = fd;
  FSize = st.st_size;
  return true;
}

void TBlobFile::ReadExactly(void* buffer, int64_t count) {
  auto* p = static_cast<char*>(buffer);
  while (count > 0) {
    ssize_t n = ::read(FFd, p, static_cast<size_t>(count));
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      throw EReadError("Stream read error");
    p += n;
    count -= n;
  }
}

void TBlobFile::Close() {
  if (FFd >= 0)
    ::close(FFd);
  FFd = -1;
  FSize = 0;
}
