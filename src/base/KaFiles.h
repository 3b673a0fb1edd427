#pragma once

#include "base/KaDateTime.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TFileStream;

// File and directory operations on 8-bit paths. Failures are results (false),
// except where a function says it raises.

bool FileExists(const std::string& fileName); // an existing file, not a directory
bool DirectoryExists(const std::string& dir);
bool RemoveFile(const std::string& fileName);
bool RemoveDir(const std::string& dir); // only an empty directory
bool CreateDir(const std::string& dir);
bool ForceDirectories(const std::string& dir); // with every missing parent
// Moves a file over an existing one in one step where the platform allows.
bool RenameFile(const std::string& from, const std::string& to);
std::string GetCurrentDir();
bool SetCurrentDir(const std::string& dir);
// The system's temporary directory, with a trailing "\".
std::string GetTempDir();

// Last-write time as local wall-clock time (whole milliseconds), and setting it.
bool FileGetDate(const std::string& fileName, TDateTime& time);
bool FileSetDate(const std::string& fileName, TDateTime localTime);

// Standard CRC-32 of a file's content, read in 4096-byte blocks with sharing
// allowed; raises EFOpenError when the file cannot be opened.
uint32_t FileCRC(const std::string& fileName);

// Copies in 8192-byte blocks; raises EFOpenError / EFCreateError.
void CopyFileData(const std::string& source, const std::string& destination);

// Files are replaced through a temporary beside them, "<name>.<n>.~ws", renamed
// over the file once it is whole; so a write that fails or is cut short never
// leaves a half-written file under the real name.
//
// A temporary name beside the file that no file or directory has yet; empty
// when none is found in a hundred tries.
std::string TemporaryBeside(const std::string& fileName);
// Removes what an earlier write that never finished (the process ended in
// the middle) left beside the file: only names of the form above.
void RemoveTemporariesBeside(const std::string& fileName);
// The name of the file whose temporary a name is ("a.txt" for
// "a.txt.3.~ws"); empty for a name of any other form.
std::string TemporaryBaseName(std::string_view name);
// A new temporary beside the file, made in one step that fails where the
// name is taken (so it needs no look whether it is free), and its name.
// Raises EFCreateError when none can be made.
std::unique_ptr<TFileStream> CreateTemporaryBeside(const std::string& fileName,
                                                   std::string& temporary);
// CopyFileData into a temporary beside the destination, renamed over it:
// the destination is afterwards the whole copy or as it was. Raises as
// CopyFileData, and EFCreateError when the rename fails (the destination is
// in use); the temporary never stays.
void ReplaceFileData(const std::string& source, const std::string& destination);

// Whether two names denote the same file: their full paths compared, long
// forms where the files exist, without regard to letter case on Windows.
bool SameFileName(const std::string& a, const std::string& b);

// Attribute bits of a directory entry.
enum : uint32_t {
  faReadOnly = 0x01,
  faHidden = 0x02,
  faSysFile = 0x04,
  faDirectory = 0x10,
  faArchive = 0x20,
};

struct TSearchRec {
  std::string Name;
  uint32_t Attr = 0;
  uint32_t Size = 0; // the low 32 bits of the size
  TDateTime Time;    // last write, local wall-clock time in 2-second steps
  // A symbolic link (a reparse point on Windows); the fields above describe
  // what it leads to, as the platform's search reports it.
  bool Linked = false;
  // Neither a file nor a directory: a FIFO, socket or device, which reading
  // may block on for good. Only the POSIX search finds such entries.
  bool Special = false;
  bool IsDirectory() const { return (Attr & faDirectory) != 0; }
};

// A file's size and times at the platform's full precision: what tells one
// state of a file from another without reading it. Times are in the
// platform's own units, UTC (100 ns since 1601 on Windows, nanoseconds since
// 1970 elsewhere), and compare with FileClockNow. Writing the content moves
// WriteTime; setting the times, renaming and writing move ChangeTime, which
// no program can set back.
struct TFileStamp {
  int64_t Size = -1; // -1: no stamp
  int64_t WriteTime = 0;
  int64_t ChangeTime = 0; // 0: the platform did not say
  bool Known() const { return Size >= 0 && ChangeTime != 0; }
  friend bool operator==(const TFileStamp&, const TFileStamp&) = default;
};

// The current time in the units of TFileStamp, and how many make a second.
int64_t FileClockNow();
int64_t FileClockTicksPerSecond();

// The stamp of a file by name; false when the file cannot be reached.
bool GetFileStamp(const std::string& fileName, TFileStamp& stamp);

// FileCRC, and the stamp the file had all the while it was read: an unknown
// one when the stamp moved during the read.
uint32_t FileCRC(const std::string& fileName, TFileStamp& stamp);

// The entries matching `pattern` (a directory with a trailing "\" and a mask
// with "*" and "?"), hidden and system entries included, "." and ".." left out,
// in the order the platform returns them. A directory that cannot be searched
// gives no entries.
std::vector<TSearchRec> FindEntries(const std::string& pattern);

struct TStampedEntry {
  TSearchRec Rec;
  TFileStamp Stamp;
};

// Every entry of the directory `dir` (with a trailing "\"), each exactly as
// FindEntries(dir + "*") reports it, with its stamp from the same listing;
// an entry the listing gives no stamp for has an unknown one.
std::vector<TStampedEntry> FindStampedEntries(const std::string& dir);
