#include "base/KaStreams.h"

#include "base/KaExceptions.h"
#include "base/KaHandle_posix.h"
#include "base/KaPosixPath.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

static int Fd(const TScopedSystemFile& h) { return static_cast<int>(h.Get()); }

TFileStream::TFileStream(const std::string& fileName, uint32_t mode) : FFileName(fileName) {
  std::string path = NativePath(fileName);
  TScopedFd fd;
  if (mode == fmCreate) {
    fd.Reset(::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!fd)
      throw EFCreateError("Cannot create file \"" + fileName + "\". " + SysErrorMessage(errno));
  } else {
    static const int access[] = {O_RDONLY, O_WRONLY, O_RDWR};
    fd.Reset(::open(path.c_str(), access[(mode & 3) < 3 ? (mode & 3) : 0] | O_CLOEXEC));
    struct stat st {};
    if (fd && fstat(fd.Get(), &st) == 0 && S_ISDIR(st.st_mode)) {
      fd.Reset();
      errno = EISDIR;
    }
    if (!fd)
      throw EFOpenError("Cannot open file \"" + fileName + "\". " + SysErrorMessage(errno));
  }
  FHandle.Reset(fd.Take());
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  if (count <= 0)
    return 0;
  ssize_t n = ::read(Fd(FHandle), buffer, static_cast<size_t>(count));
  return n < 0 ? 0 : n;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  if (count <= 0)
    return 0;
  ssize_t n = ::write(Fd(FHandle), buffer, static_cast<size_t>(count));
  return n < 0 ? 0 : n;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  static const int whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  return ::lseek(Fd(FHandle), offset, whence[static_cast<int>(origin)]);
}

void TFileStream::SetSize(int64_t size) {
  if (::ftruncate(Fd(FHandle), size) != 0)
    throw EWriteError("Stream write error");
  if (GetPosition() > size)
    SetPosition(size);
}

std::unique_ptr<TFileStream> TFileStream::CreateNew(const std::string& fileName) {
  TScopedFd fd(::open(NativePath(fileName).c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
  if (!fd) {
    if (errno == EEXIST)
      return nullptr;
    throw EFCreateError("Cannot create file \"" + fileName + "\". " + SysErrorMessage(errno));
  }
  return std::unique_ptr<TFileStream>(new TFileStream(fileName, TScopedSystemFile(fd.Take())));
}
