#pragma once

#include "base/KaHandle_posix.h"
#include "server/BlobFile.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

// One published release as the server hands it out.
struct TRelease {
  int Number = 0;
  std::string DisplayName; // UTF-8
  std::string Manifest;    // the manifest text, CR LF lines
};

// What the store knows about one stored content.
struct TIndexEntry {
  int32_t Id = 0;
  int64_t StoredSize = 0; // bytes of the zlib stream
};

// Content hash (SHA-256, lower-case hex) to identifier. Identifiers are
// positive and handed out in rising order, never twice.
struct TIndex {
  std::map<std::string, TIndexEntry> ByHash;
  int32_t NextId = 1;
};

// The release store, a folder:
//   secret               the session secret, hex, created on first use
//   index                "next <id>" then one "<sha256> <id> <stored size>" per content
//   blobs/<id>           one zlib stream per content identifier, never changed
//   releases/<n>/product the display name, UTF-8
//   releases/<n>/manifest the manifest text
//   current              the number of the current release
//   lock                 held by a publisher while it works
// Blobs and releases are written completely before `current` is replaced by a
// rename, so a reader sees either the old release or the new one, and every
// identifier of any manifest it ever handed out stays readable.
class TReleaseStore {
public:
  explicit TReleaseStore(std::string dir);

  const std::string& Dir() const { return FDir; }
  // The raw session secret; made and saved (mode 0600) when the store has none.
  // Two processes starting at once agree on one secret.
  std::string LoadOrCreateSecret();

  // The current release, or none before the first publish. Re-read only when
  // `current` has been replaced, so it is cheap to call per request.
  std::shared_ptr<const TRelease> Current();
  // False for an identifier the store does not hold.
  bool OpenBlob(int32_t id, TBlobFile& blob) const;

  // Publishing side (called under Lock).
  std::string BlobPath(int32_t id) const;
  TIndex LoadIndex() const;
  void SaveIndex(const TIndex& index) const;
  // Writes the release's files; it becomes visible only through MakeCurrent.
  void WriteRelease(const TRelease& release) const;
  void MakeCurrent(int number) const;
  int CurrentNumber() const; // 0 when none

  // An exclusive lock on the store for one publisher at a time.
  class TLock {
  public:
    explicit TLock(const std::string& path);

  private:
    TScopedFd FFd; // the lock goes with the descriptor
  };
  std::unique_ptr<TLock> Lock() const;

private:
  std::shared_ptr<const TRelease> LoadRelease(int number) const;

  std::string FDir;
  std::mutex FMutex;
  std::shared_ptr<const TRelease> FCurrent;
  struct TStamp {
    uint64_t Inode = 0;
    int64_t MTimeNs = 0;
    friend bool operator==(const TStamp&, const TStamp&) = default;
  } FCurrentStamp;
};

// Writes `content` into a temporary file beside `path`, flushes it to disk and
// renames it over `path`: readers see the old file or the new one, never half.
void WriteFileAtomically(const std::string& path, const std::string& content, int mode = 0644);
std::string ReadWholeFile(const std::string& path);
