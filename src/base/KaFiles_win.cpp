#include "base/KaFiles.h"

#include "base/KaHandle_win.h"
#include "base/KaStreams.h"
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

namespace {

TSearchRec SearchRecOf(std::string name, DWORD attributes, DWORD sizeLow, const FILETIME& written) {
  TSearchRec rec;
  rec.Name = std::move(name);
  rec.Attr = attributes & 0xFF;
  rec.Linked = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  rec.Size = sizeLow;
  rec.Time = FileTimeToLocal(written, true);
  return rec;
}

int64_t Ticks(LARGE_INTEGER value) { return value.QuadPart; }

int64_t Ticks(const FILETIME& value) {
  return static_cast<int64_t>((uint64_t{value.dwHighDateTime} << 32) | value.dwLowDateTime);
}

} // namespace

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
    result.push_back(
        SearchRecOf(std::move(name), fd.dwFileAttributes, fd.nFileSizeLow, fd.ftLastWriteTime));
  } while (FindNextFileA(search.Get(), &fd));
  return result;
}

int64_t FileClockNow() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return Ticks(now);
}

int64_t FileClockTicksPerSecond() { return 10000000; }

static bool StampOfHandle(HANDLE file, TFileStamp& stamp) {
  FILE_BASIC_INFO basic{};
  LARGE_INTEGER size{};
  if (!GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic) ||
      !GetFileSizeEx(file, &size))
    return false;
  stamp.Size = size.QuadPart;
  stamp.WriteTime = Ticks(basic.LastWriteTime);
  stamp.ChangeTime = Ticks(basic.ChangeTime);
  return true;
}

bool GetFileStamp(const std::string& fileName, TFileStamp& stamp) {
  // No access to the content: a file that another process holds exclusively
  // still tells its stamp.
  TScopedKernelHandle file(CreateFileA(fileName.c_str(), FILE_READ_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, 0, nullptr));
  return file && StampOfHandle(file.Get(), stamp);
}

// The stream's stamp functions live with the other stamp functions.
bool TFileStream::GetStamp(TFileStamp& stamp) {
  return StampOfHandle(reinterpret_cast<HANDLE>(FHandle.Get()), stamp);
}

bool TFileStream::SetWriteTime(int64_t time) {
  FILETIME written;
  written.dwLowDateTime = static_cast<DWORD>(static_cast<uint64_t>(time));
  written.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(time) >> 32);
  return SetFileTime(reinterpret_cast<HANDLE>(FHandle.Get()), nullptr, nullptr, &written) != 0;
}

namespace {

// The names the ANSI directory search would give: a name that does not come
// back whole from the code page of the file functions is no name to compare.
bool ToFileApiName(const wchar_t* wide, int length, std::string& name) {
  const UINT codePage = AreFileApisANSI() ? CP_ACP : CP_OEMCP;
  BOOL lossy = FALSE;
  int n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0, nullptr,
                              &lossy);
  if (n <= 0 || lossy)
    return false;
  name.resize(static_cast<size_t>(n));
  WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide, length, name.data(), n, nullptr,
                      &lossy);
  return !lossy;
}

} // namespace

std::vector<TStampedEntry> FindStampedEntries(const std::string& dir) {
  // One listing of the open directory by the handle: the full directory
  // information carries the change time, which the search records lack.
  std::vector<TStampedEntry> result;
  TScopedKernelHandle handle(CreateFileA(
      dir.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  bool complete = false;
  if (handle) {
    std::vector<LONGLONG> buffer(64 * 1024 / sizeof(LONGLONG));
    FILE_INFO_BY_HANDLE_CLASS kind = FileFullDirectoryRestartInfo;
    bool names = true;
    while (names &&
           GetFileInformationByHandleEx(handle.Get(), kind, buffer.data(),
                                        static_cast<DWORD>(buffer.size() * sizeof(LONGLONG)))) {
      kind = FileFullDirectoryInfo;
      auto* at = reinterpret_cast<const BYTE*>(buffer.data());
      for (;;) {
        auto* info = reinterpret_cast<const FILE_FULL_DIR_INFO*>(at);
        std::string name;
        names = ToFileApiName(info->FileName,
                              static_cast<int>(info->FileNameLength / sizeof(WCHAR)), name);
        if (!names)
          break;
        if (name != "." && name != "..") {
          FILETIME written;
          written.dwLowDateTime = info->LastWriteTime.LowPart;
          written.dwHighDateTime = static_cast<DWORD>(info->LastWriteTime.HighPart);
          TStampedEntry entry{
              SearchRecOf(std::move(name), info->FileAttributes, info->EndOfFile.LowPart, written),
              {}};
          if (!(info->FileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            entry.Stamp.Size = Ticks(info->EndOfFile);
            entry.Stamp.WriteTime = Ticks(info->LastWriteTime);
            entry.Stamp.ChangeTime = Ticks(info->ChangeTime);
          }
          result.push_back(std::move(entry));
        }
        if (info->NextEntryOffset == 0)
          break;
        at += info->NextEntryOffset;
      }
    }
    complete = names && GetLastError() == ERROR_NO_MORE_FILES;
  }
  if (complete)
    return result;
  // A file system without the directory information, or a name the code page
  // cannot carry: the plain search, without stamps.
  result.clear();
  for (TSearchRec& rec : FindEntries(dir + "*"))
    result.push_back({std::move(rec), {}});
  return result;
}
