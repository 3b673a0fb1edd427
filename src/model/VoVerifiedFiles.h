#pragma once

#include "base/KaFiles.h"

#include <cstdint>
#include <string>
#include <unordered_map>

// What earlier scans and fetches proved about the files of one installation,
// kept in a small record file in its directory: per file (its path below the
// directory) the stamp it had and the CRC-32 of the content it had then. A
// scan that would read a file for its CRC-32 asks here first: a file whose
// stamp is still the recorded one still has the recorded content, so its
// CRC-32 is known without reading it.
//
// That holds only for stamps that a later change must move. A change in the
// same tick of the file clock as the observation can leave the stamp as it
// was, so an observation is recorded only when the file's write and change
// times lie a margin before it ("racy" entries are not trusted, as version
// control systems do with their index). Files this program writes itself get
// their write time set that margin back, so they are recorded at once.
//
// A record that is missing, damaged, stale or from elsewhere costs reading
// time only: every entry must match the file's current stamp, and a record
// that does not read back whole is empty.
class TVoVerifiedFiles {
public:
  // The record's file name in the installation directory.
  static constexpr const char* RecordName = "websetup.~wsv";
  // How far before an observation a stamp must lie to be recorded.
  static constexpr int64_t DefaultMarginMs = 3000;

  // The record of the directory `dir` (with trailing "\"); empty until Load.
  explicit TVoVerifiedFiles(std::string dir, int64_t marginMs = DefaultMarginMs);

  // Reads the record file; a missing or damaged one leaves the record empty.
  void Load();
  // Writes the record when it changed, through a temporary renamed over the
  // record file; entries of files that the scan did not meet are dropped.
  // False when the record cannot be written (a read-only directory): the
  // next run then reads again what this one read.
  bool Save();
  // Removes the record file of the directory, with any temporary of it.
  static void Remove(const std::string& dir);

  // The file at `path` (below the directory) is on disk with this stamp:
  // keeps its entry for Save when the stamp is the recorded one, drops it
  // otherwise. With the entry kept, `crc` is the CRC-32 of its content.
  bool Meet(const std::string& path, const TFileStamp& stamp, uint32_t& crc);
  // The file was read while its stamp was `stamp`, and held content of
  // `crc`; `observed` is the file clock before it was listed.
  void Read(const std::string& path, const TFileStamp& stamp, uint32_t crc, int64_t observed);
  // The program wrote the file with content of `crc`, set its write time
  // back by WriteBackdate and found `stamp` after it had its name.
  void Written(const std::string& path, const TFileStamp& stamp, uint32_t crc);
  // The file is gone or was replaced.
  void Forget(const std::string& path);

  // How far back the program sets the write time of a file it wrote.
  int64_t WriteBackdate() const { return 2 * FMargin; }
  // The file clock now, as observations take it.
  static int64_t Now() { return FileClockNow(); }
  bool Changed() const { return FChanged; }
  int Count() const { return static_cast<int>(FEntries.size()); }
  // How many files Meet knew the CRC-32 of, so that they were not read.
  int Hits() const { return FHits; }
  std::string FileName() const { return FDir + RecordName; }

private:
  struct TEntry {
    TFileStamp Stamp;
    uint32_t CRC = 0;
    bool Met = false;
  };

  void Put(const std::string& path, const TFileStamp& stamp, uint32_t crc);
  bool Parse(const std::string& text);

  std::string FDir;
  int64_t FMargin;
  std::unordered_map<std::string, TEntry> FEntries;
  bool FChanged = false;
  int FHits = 0;
};
