#pragma once

#include "base/KaHandle_posix.h"
#include "server/BlobFile.h"

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

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

// Blobs of up to BlobSize bytes are held in memory once read, the most
// recently asked for first, up to Total bytes in all.
struct TBlobHoldLimits {
  int64_t BlobSize = 64 * 1024;
  int64_t Total = 16 * 1024 * 1024;
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
  explicit TReleaseStore(std::string dir, TBlobHoldLimits hold = {});

  const std::string& Dir() const { return FDir; }
  // The raw session secret; made and saved (mode 0600) when the store has none.
  // Two processes starting at once agree on one secret. Raises when the file
  // is damaged, no regular file, or open to other users: whoever reads it can
  // forge sessions.
  std::string LoadOrCreateSecret();

  // The current release, or none before the first publish. Re-read only when
  // `current` has been replaced, so it is cheap to call per request.
  std::shared_ptr<const TRelease> Current();
  // Reads the current release from disk, bypassing what Current keeps:
  // its number, 0 when none was published; raises when it cannot be read.
  int CheckCurrent() const;
  // Opens blob `id` when the index lists it and the file is a regular file of
  // the listed size. False otherwise; `problem` then says why a listed blob
  // cannot be served (a damaged store, for the log), or is empty when the
  // index knows no `id`. A small blob is read whole the first time and then
  // served from memory: a blob never changes once stored, and most answers
  // carry small ones, which would each cost an open, its checks and a read.
  bool OpenBlob(int32_t id, TBlobFile& blob, std::string& problem);

  // Publishing side (called under Lock).
  std::string BlobPath(int32_t id) const;
  TIndex LoadIndex() const;
  void SaveIndex(const TIndex& index) const;
  // Writes the release's files; it becomes visible only through MakeCurrent.
  void WriteRelease(const TRelease& release) const;
  void MakeCurrent(int number) const;
  int CurrentNumber() const; // 0 when none
  // Removes what a publisher killed midway left behind: its temporary blob
  // (which may be large) and the temporaries of the store's own files.
  void RemoveTemporaries() const;

  // An exclusive lock on the store for one publisher at a time.
  class TLock {
  public:
    explicit TLock(const std::string& path);

  private:
    TScopedFd FFd; // the lock goes with the descriptor
  };
  std::unique_ptr<TLock> Lock() const;

private:
  // Which version of a file that is only ever replaced by a rename we hold.
  struct TStamp {
    uint64_t Inode = 0;
    int64_t MTimeNs = 0;
    friend bool operator==(const TStamp&, const TStamp&) = default;
  };
  using TSizes = std::unordered_map<int32_t, int64_t>; // stored size by identifier

  struct THeld {
    std::shared_ptr<const std::string> Bytes;
    std::list<int32_t>::iterator Use;
  };

  bool OpenHeld(int32_t id, TBlobFile& blob);
  void Hold(int32_t id, std::shared_ptr<const std::string> bytes);
  std::shared_ptr<const TRelease> LoadRelease(int number) const;
  std::shared_ptr<const TSizes> Sizes();
  static bool StampOf(const std::string& path, TStamp& stamp);

  std::string FDir;
  std::mutex FMutex;
  std::shared_ptr<const TRelease> FCurrent;
  TStamp FCurrentStamp;
  std::shared_ptr<const TSizes> FSizes;
  TStamp FIndexStamp;
  const TBlobHoldLimits FHoldLimits;
  std::mutex FHeldMutex;
  std::unordered_map<int32_t, THeld> FHeld;
  std::list<int32_t> FHeldUse; // most recently asked for first
  int64_t FHeldTotal = 0;
};

// Reads a session secret (hex, at least 32 bytes) from `path`. Raises when the
// file is missing, no regular file, damaged, or open to other users: whoever
// reads it can forge sessions.
std::string LoadSecretFile(const std::string& path);

// Writes `content` into a temporary file beside `path`, flushes it to disk and
// renames it over `path`: readers see the old file or the new one, never half.
void WriteFileAtomically(const std::string& path, const std::string& content, int mode = 0644);
std::string ReadWholeFile(const std::string& path);
