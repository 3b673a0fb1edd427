#include "base/KaFiles.h"

#include "base/KaHandle_posix.h"
#include "base/KaPosixPath.h"
#include "base/KaStreams.h"
#include "base/KaStrings.h"

#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

static bool Stat(const std::string& path, struct stat& st) {
  return ::stat(NativePath(path).c_str(), &st) == 0;
}

bool FileExists(const std::string& fileName) {
  struct stat st {};
  return Stat(fileName, st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& dir) {
  struct stat st {};
  return Stat(dir, st) && S_ISDIR(st.st_mode);
}

bool RemoveFile(const std::string& fileName) { return ::unlink(NativePath(fileName).c_str()) == 0; }
bool RemoveDir(const std::string& dir) { return ::rmdir(NativePath(dir).c_str()) == 0; }
bool CreateDir(const std::string& dir) { return ::mkdir(NativePath(dir).c_str(), 0755) == 0; }

bool SameFileName(const std::string& a, const std::string& b) {
  // Resolved where the files exist, so "dir/../x" and links meet.
  auto canonical = [](const std::string& name) {
    std::string native = NativePath(name);
    char* resolved = realpath(native.c_str(), nullptr);
    if (!resolved)
      return native;
    std::string out(resolved);
    std::free(resolved);
    return out;
  };
  return canonical(a) == canonical(b);
}

bool RenameFile(const std::string& from, const std::string& to) {
  return ::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
}

std::string GetCurrentDir() {
  char buffer[4096];
  return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

bool SetCurrentDir(const std::string& dir) { return ::chdir(NativePath(dir).c_str()) == 0; }

std::string GetTempDir() {
  const char* t = std::getenv("TMPDIR");
  return AddBackslash(t && *t ? t : "/tmp");
}

static TDateTime ToLocal(time_t seconds, long nanoseconds) {
  struct tm local {};
  localtime_r(&seconds, &local);
  return UnixToDateTime(seconds + local.tm_gmtoff, static_cast<int>(nanoseconds / 1000000));
}

bool FileGetDate(const std::string& fileName, TDateTime& time) {
  struct stat st {};
  if (!Stat(fileName, st))
    return false;
  time = ToLocal(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
  return true;
}

bool FileSetDate(const std::string& fileName, TDateTime localTime) {
  TDateTime utc = LocalToUTC(localTime);
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  int64_t ms = utc.ms - (utc.ms / 1000) * 1000;
  times[1].tv_sec = static_cast<time_t>(DateTimeToUnix(utc));
  times[1].tv_nsec = static_cast<long>(ms < 0 ? ms + 1000 : ms) * 1000000;
  return ::utimensat(AT_FDCWD, NativePath(fileName).c_str(), times, 0) == 0;
}

static TFileStamp StampOf(const struct stat& st) {
  TFileStamp stamp;
  stamp.Size = st.st_size;
  stamp.WriteTime = int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
  stamp.ChangeTime = int64_t{st.st_ctim.tv_sec} * 1000000000 + st.st_ctim.tv_nsec;
  return stamp;
}

int64_t FileClockNow() {
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
}

int64_t FileClockTicksPerSecond() { return 1000000000; }

bool GetFileStamp(const std::string& fileName, TFileStamp& stamp) {
  struct stat st {};
  if (!Stat(fileName, st) || S_ISDIR(st.st_mode))
    return false;
  stamp = StampOf(st);
  return true;
}

// The entries of `dir` whose names match `mask`, each with what stat says.
template <class F> static void ListDirectory(std::string dir, const std::string& mask, F&& use) {
  if (dir.empty())
    dir = ".\\";
  TScopedDir d(::opendir(NativePath(dir).c_str()));
  if (!d)
    return;
  while (dirent* e = ::readdir(d.Get())) {
    std::string name = e->d_name;
    if (name == "." || name == ".." || !MatchesMask(name, mask))
      continue;
    struct stat st {};
    const int at = ::dirfd(d.Get());
    if (::fstatat(at, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
      continue;
    TSearchRec rec;
    rec.Linked = S_ISLNK(st.st_mode);
    if (rec.Linked && ::fstatat(at, e->d_name, &st, 0) != 0)
      continue; // leads nowhere
    rec.Special = !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
    rec.Name = std::move(name);
    rec.Attr = S_ISDIR(st.st_mode) ? faDirectory : faArchive;
    if (!(st.st_mode & S_IWUSR))
      rec.Attr |= faReadOnly;
    if (rec.Name[0] == '.')
      rec.Attr |= faHidden;
    rec.Size = static_cast<uint32_t>(st.st_size);
    // The platform's directory search reports times in two-second steps.
    time_t t = st.st_mtim.tv_sec;
    rec.Time = ToLocal(t, 0);
    rec.Time.ms -= (rec.Time.ms / 1000 % 2) * 1000;
    use(std::move(rec), st);
  }
}

std::vector<TSearchRec> FindEntries(const std::string& pattern) {
  std::vector<TSearchRec> result;
  std::string dir = ExtractDir(pattern);
  std::string mask = pattern.substr(dir.size() <= pattern.size() ? dir.size() : pattern.size());
  ListDirectory(dir, mask, [&result](TSearchRec rec, const struct stat&) {
    result.push_back(std::move(rec));
  });
  return result;
}

std::vector<TStampedEntry> FindStampedEntries(const std::string& dir) {
  std::vector<TStampedEntry> result;
  ListDirectory(dir, "*", [&result](TSearchRec rec, const struct stat& st) {
    TStampedEntry entry{std::move(rec), {}};
    if (!S_ISDIR(st.st_mode))
      entry.Stamp = StampOf(st);
    result.push_back(std::move(entry));
  });
  return result;
}

// The stream's stamp functions live with the other stamp functions.
bool TFileStream::GetStamp(TFileStamp& stamp) {
  struct stat st {};
  if (::fstat(static_cast<int>(FHandle.Get()), &st) != 0)
    return false;
  stamp = StampOf(st);
  return true;
}

bool TFileStream::SetWriteTime(int64_t time) {
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(time / 1000000000);
  times[1].tv_nsec = static_cast<long>(time % 1000000000);
  if (times[1].tv_nsec < 0) {
    times[1].tv_nsec += 1000000000;
    --times[1].tv_sec;
  }
  return ::futimens(static_cast<int>(FHandle.Get()), times) == 0;
}
