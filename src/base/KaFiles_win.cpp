#include "base/KaFiles.h"

#include "base/KaHandle_win.h"
#include "base/KaStrings.h"

#include <windows.h>

bool FileExists(const std::string& fileName) {
  DWORD a = GetFileAttributesA(fileName.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& dir) {
  DWORD a = GetFileAttributesA(dir.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool RemoveFile(const std::string& fileName) { return DeleteFileA(fileName.c_str()) != 0; }
bool RemoveDir(const std::string& dir) { return RemoveDirectoryA(dir.c_str()) != 0; }
bool CreateDir(const std::string& dir) { return CreateDirectoryA(dir.c_str(), nullptr) != 0; }

namespace {

// The full path, in its long form when the file exists (no 8.3 names).
std::string LongFullPath(const std::string& name) {
  char full[MAX_PATH * 4];
  DWORD n = GetFullPathNameA(name.c_str(), sizeof full, full, nullptr);
  if (n == 0 || n >= sizeof full)
    return name;
  char longer[MAX_PATH * 4];
  DWORD m = GetLongPathNameA(full, longer, sizeof longer);
  return m > 0 && m < sizeof longer ? std::string(longer, m) : std::string(full, n);
}

} // namespace

bool SameFileName(const std::string& a, const std::string& b) {
  return lstrcmpiA(LongFullPath(a).c_str(), LongFullPath(b).c_str()) == 0;
}

bool RenameFile(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::string GetCurrentDir() {
  char buffer[MAX_PATH + 1];
  DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
  return std::string(buffer, n < sizeof buffer ? n : 0);
}

bool SetCurrentDir(const std::string& dir) { return SetCurrentDirectoryA(dir.c_str()) != 0; }

std::string GetTempDir() {
  char buffer[MAX_PATH + 1];
  DWORD n = GetTempPathA(sizeof buffer, buffer);
  return AddBackslash(std::string(buffer, n < sizeof buffer ? n : 0));
}

static TDateTime FileTimeToLocal(const FILETIME& ft, bool dosSteps) {
  FILETIME local;
  FileTimeToLocalFileTime(&ft, &local);
  SYSTEMTIME st{};
  if (dosSteps) {
    WORD date = 0, time = 0;
    if (!FileTimeToDosDateTime(&local, &date, &time))
      return TDateTime{};
    TDateTime result;
    TryEncodeDateTime(TDateTimeParts{(date >> 9) + 1980, (date >> 5) & 15, date & 31, time >> 11,
                                     (time >> 5) & 63, (time & 31) * 2, 0},
                      result);
    return result;
  }
  FileTimeToSystemTime(&local, &st);
  TDateTime result;
  TryEncodeDateTime(TDateTimeParts{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond,
                                   st.wMilliseconds},
                    result);
  return result;
}

bool FileGetDate(const std::string& fileName, TDateTime& time) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(fileName.c_str(), GetFileExInfoStandard, &data))
    return false;
  time = FileTimeToLocal(data.ftLastWriteTime, false);
  return true;
}

bool FileSetDate(const std::string& fileName, TDateTime localTime) {
  TDateTimeParts p = DecodeDateTime(localTime);
  SYSTEMTIME st{};
  st.wYear = WORD(p.Year), st.wMonth = WORD(p.Month), st.wDay = WORD(p.Day);
  st.wHour = WORD(p.Hour), st.wMinute = WORD(p.Minute), st.wSecond = WORD(p.Second);
  st.wMilliseconds = WORD(p.MilliSecond);
  FILETIME local, utc;
  if (!SystemTimeToFileTime(&st, &local) || !LocalFileTimeToFileTime(&local, &utc))
    return false;
  TScopedKernelHandle file(CreateFileA(fileName.c_str(), FILE_WRITE_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return file && SetFileTime(file.Get(), nullptr, nullptr, &utc) != 0;
}

std::vector<TSearchRec> FindEntries(const std::string& pattern) {
  std::vector<TSearchRec> result;
  WIN32_FIND_DATAA fd;
  TScopedFindHandle search(FindFirstFileA(pattern.c_str(), &fd));
  if (!search)
    return result;
  do {
    std::string name = fd.cFileName;
    if (name == "." || name == "..")
      continue;
    TSearchRec rec;
    rec.Name = std::move(name);
    rec.Attr = fd.dwFileAttributes & 0xFF;
    rec.Linked = (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    rec.Size = fd.nFileSizeLow;
    rec.Time = FileTimeToLocal(fd.ftLastWriteTime, true);
    result.push_back(std::move(rec));
  } while (FindNextFileA(search.Get(), &fd));
  return result;
}
