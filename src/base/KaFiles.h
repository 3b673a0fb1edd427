#pragma once

#include "base/KaDateTime.h"

#include <cstdint>
#include <string>
#include <vector>

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

// The entries matching `pattern` (a directory with a trailing "\" and a mask
// with "*" and "?"), hidden and system entries included, "." and ".." left out,
// in the order the platform returns them. A directory that cannot be searched
// gives no entries.
std::vector<TSearchRec> FindEntries(const std::string& pattern);
