#pragma once

#include "base/KaHandle_posix.h"

#include <cstdint>
#include <memory>
#include <string>
#include <sys/stat.h>

// Opens `path` for reading only if it is a regular file, and never waits: a
// FIFO in its place would block a plain open() until some writer comes, on a
// thread that serves other clients. The descriptor is invalid when the file
// is missing or no regular file (or, unless `followLink`, a symbolic link);
// `status` describes what was opened.
TScopedFd OpenRegularFile(const std::string& path, struct stat& status, bool followLink = true);

// A stored blob opened for reading, front to back while an answer is sent:
// one descriptor, or the blob's bytes when the store holds them in memory.
// Move-only; the descriptor closes with the object.
class TBlobFile {
public:
  TBlobFile() = default;
  TBlobFile(TBlobFile&& other) noexcept;
  TBlobFile& operator=(TBlobFile&& other) noexcept;
  TBlobFile(const TBlobFile&) = delete;
  TBlobFile& operator=(const TBlobFile&) = delete;

  // False when the file does not exist or is no regular file.
  bool Open(const std::string& path);
  // Reads the bytes held in memory instead of a file.
  void Open(std::shared_ptr<const std::string> bytes);
  bool IsOpen() const { return FFd.IsValid() || FHeld != nullptr; }
  int64_t Size() const { return FSize; }
  // Reads exactly `count` bytes or raises EReadError (a blob that shrank
  // under us is a broken store, not a short answer).
  void ReadExactly(void* buffer, int64_t count);
  void Close();

private:
  TScopedFd FFd;
  std::shared_ptr<const std::string> FHeld;
  int64_t FHeldRead = 0;
  int64_t FSize = 0;
};
