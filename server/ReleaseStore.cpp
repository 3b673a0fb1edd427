#include "server/ReleaseStore.h"

#include "base/KaExceptions.h"
#include "base/KaHandle_posix.h"
#include "base/KaStrings.h"
#include "base/KaHex.h"
#include "server/SessionScheme.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string SystemReason() { return std::strerror(errno); }

std::string ReadAll(int fd, const std::string& path) {
  std::string content;
  char buffer[4096];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0)
      throw EReadError("Cannot read \"" + path + "\". " + SystemReason());
    if (n == 0)
      return content;
    content.append(buffer, static_cast<size_t>(n));
  }
}

void SyncDir(const std::string& dir) {
  TScopedFd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd)
    ::fsync(fd.Get());
}

void WriteAll(int fd, const std::string& content, const std::string& path) {
  const char* p = content.data();
  size_t left = content.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0)
      throw EWriteError("Cannot write \"" + path + "\". " + SystemReason());
    p += n;
    left -= static_cast<size_t>(n);
  }
}

} // namespace

void WriteFileAtomically(const std::string& path, const std::string& content, int mode) {
  std::string temp = path + ".tmp." + std::to_string(::getpid());
  TScopedFd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode));
  if (!fd)
    throw EFCreateError("Cannot create file \"" + temp + "\". " + SystemReason());
  try {
    WriteAll(fd.Get(), content, temp);
    if (::fsync(fd.Get()) != 0)
      throw EWriteError("Cannot write \"" + temp + "\". " + SystemReason());
  } catch (...) {
    fd.Reset();
    ::unlink(temp.c_str());
    throw;
  }
  fd.Reset();
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    std::string reason = SystemReason();
    ::unlink(temp.c_str());
    throw EWriteError("Cannot replace \"" + path + "\". " + reason);
  }
  SyncDir(fs::path(path).parent_path().string());
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw EFOpenError("Cannot open file \"" + path + "\". " + SystemReason());
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::string LoadSecretFile(const std::string& path) {
  struct stat st {};
  TScopedFd fd = OpenRegularFile(path, st);
  if (!fd) {
    std::string reason = SystemReason();
    struct stat any {};
    if (::stat(path.c_str(), &any) == 0 && !S_ISREG(any.st_mode))
      reason = "It is no regular file.";
    throw EFOpenError("The session secret \"" + path + "\" cannot be read. " + reason);
  }
  if (st.st_mode & (S_IRWXG | S_IRWXO)) {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
    throw Exception("The session secret \"" + path + "\" is open to other users (mode " + mode +
                    "), who could forge sessions with it; make it private with: chmod 600 " + path);
  }
  std::string bytes;
  if (!FromHex(Trim(ReadAll(fd.Get(), path)), bytes) || bytes.size() < 32)
    throw Exception("The session secret in \"" + path + "\" is damaged");
  return bytes;
}

TReleaseStore::TReleaseStore(std::string dir, TBlobHoldLimits hold)
    : FDir(std::move(dir)), FHoldLimits(hold) {
  while (FDir.size() > 1 && FDir.back() == '/')
    FDir.pop_back();
}

std::string TReleaseStore::LoadOrCreateSecret() {
  std::string path = FDir + "/secret";
  if (!fs::exists(path)) {
    fs::create_directories(FDir);
    std::string temp = path + ".new." + std::to_string(::getpid());
    WriteFileAtomically(temp, ToHex(TSessionScheme::RandomSecret()) + "\n", 0600);
    // link() does not replace: of two processes creating a secret at once,
    // the second one takes the first one's.
    if (::link(temp.c_str(), path.c_str()) != 0 && errno != EEXIST) {
      std::string reason = SystemReason();
      ::unlink(temp.c_str());
      throw EFCreateError("Cannot create file \"" + path + "\". " + reason);
    }
    ::unlink(temp.c_str());
  }
  return LoadSecretFile(path);
}

std::string TReleaseStore::BlobPath(int32_t id) const {
  return FDir + "/blobs/" + std::to_string(id);
}

bool TReleaseStore::OpenBlob(int32_t id, TBlobFile& blob, std::string& problem) {
  problem.clear();
  // An identifier is never given to other content, so a held blob needs no
  // look at the index.
  if (OpenHeld(id, blob))
    return true;
  std::shared_ptr<const TSizes> sizes = Sizes();
  auto listed = sizes->find(id);
  if (listed == sizes->end())
    return false;
  if (!blob.Open(BlobPath(id))) {
    problem = "blob " + std::to_string(id) + " is missing or no regular file";
    return false;
  }
  if (blob.Size() != listed->second) {
    problem = "blob " + std::to_string(id) + " has " + std::to_string(blob.Size()) +
              " bytes, the index says " + std::to_string(listed->second);
    blob.Close();
    return false;
  }
  if (blob.Size() <= FHoldLimits.BlobSize && blob.Size() <= FHoldLimits.Total) {
    auto bytes = std::make_shared<std::string>(static_cast<size_t>(blob.Size()), '\0');
    blob.ReadExactly(bytes->data(), blob.Size());
    Hold(id, bytes);
    blob.Open(std::move(bytes));
  }
  return true;
}

bool TReleaseStore::OpenHeld(int32_t id, TBlobFile& blob) {
  std::lock_guard<std::mutex> guard(FHeldMutex);
  auto held = FHeld.find(id);
  if (held == FHeld.end())
    return false;
  FHeldUse.splice(FHeldUse.begin(), FHeldUse, held->second.Use);
  blob.Open(held->second.Bytes);
  return true;
}

void TReleaseStore::Hold(int32_t id, std::shared_ptr<const std::string> bytes) {
  const auto size = static_cast<int64_t>(bytes->size());
  std::lock_guard<std::mutex> guard(FHeldMutex);
  if (FHeld.count(id))
    return; // another thread was first
  while (FHeldTotal + size > FHoldLimits.Total && !FHeldUse.empty()) {
    auto last = FHeld.find(FHeldUse.back());
    FHeldTotal -= static_cast<int64_t>(last->second.Bytes->size());
    FHeld.erase(last);
    FHeldUse.pop_back();
  }
  FHeldUse.push_front(id);
  FHeld.emplace(id, THeld{std::move(bytes), FHeldUse.begin()});
  FHeldTotal += size;
}

TIndex TReleaseStore::LoadIndex() const {
  TIndex index;
  std::string path = FDir + "/index";
  if (!fs::exists(path))
    return index;
  std::istringstream in(ReadWholeFile(path));
  std::string word;
  in >> word;
  if (word != "next" || !(in >> index.NextId) || index.NextId < 1)
    throw Exception("The index \"" + path + "\" is damaged");
  std::string hash;
  TIndexEntry entry;
  while (in >> hash >> entry.Id >> entry.StoredSize) {
    if (entry.Id < 1 || entry.Id >= index.NextId)
      throw Exception("The index \"" + path + "\" is damaged");
    index.ByHash[hash] = entry;
  }
  if (!in.eof())
    throw Exception("The index \"" + path + "\" is damaged");
  return index;
}

void TReleaseStore::SaveIndex(const TIndex& index) const {
  std::string text = "next " + std::to_string(index.NextId) + "\n";
  for (const auto& [hash, entry] : index.ByHash)
    text += hash + " " + std::to_string(entry.Id) + " " + std::to_string(entry.StoredSize) + "\n";
  WriteFileAtomically(FDir + "/index", text);
}

void TReleaseStore::WriteRelease(const TRelease& release) const {
  std::string dir = FDir + "/releases/" + std::to_string(release.Number);
  fs::create_directories(dir);
  WriteFileAtomically(dir + "/product", release.DisplayName);
  WriteFileAtomically(dir + "/manifest", release.Manifest);
}

void TReleaseStore::MakeCurrent(int number) const {
  WriteFileAtomically(FDir + "/current", std::to_string(number) + "\n");
}

int TReleaseStore::CurrentNumber() const {
  std::string path = FDir + "/current";
  if (!fs::exists(path))
    return 0;
  int64_t number = 0;
  if (!TryStrToInt64(Trim(ReadWholeFile(path)), number) || number < 1)
    throw Exception("\"" + path + "\" names no release");
  return static_cast<int>(number);
}

void TReleaseStore::RemoveTemporaries() const {
  // Only names publishers write: a server starting meanwhile may be writing
  // a temporary secret.
  auto remove = [](const std::string& dir, const std::function<bool(const std::string&)>& ours) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
      std::string name = entry.path().filename().string();
      if (ours(name) && entry.is_regular_file(ec))
        fs::remove(entry.path(), ec);
    }
  };
  remove(FDir + "/blobs", [](const std::string& name) { return name.find(".tmp.") != name.npos; });
  remove(FDir, [](const std::string& name) {
    return name.rfind("index.tmp.", 0) == 0 || name.rfind("current.tmp.", 0) == 0;
  });
}

std::shared_ptr<const TRelease> TReleaseStore::LoadRelease(int number) const {
  auto release = std::make_shared<TRelease>();
  std::string dir = FDir + "/releases/" + std::to_string(number);
  release->Number = number;
  release->DisplayName = ReadWholeFile(dir + "/product");
  release->Manifest = ReadWholeFile(dir + "/manifest");
  return release;
}

std::shared_ptr<const TRelease> TReleaseStore::Current() {
  TStamp stamp;
  std::lock_guard<std::mutex> guard(FMutex);
  if (!StampOf(FDir + "/current", stamp))
    return FCurrent; // none yet, or a moment between two renames: keep what we had
  if (!FCurrent || !(stamp == FCurrentStamp)) {
    FCurrent = LoadRelease(CurrentNumber());
    FCurrentStamp = stamp;
  }
  return FCurrent;
}

int TReleaseStore::CheckCurrent() const {
  int number = CurrentNumber();
  if (number > 0)
    LoadRelease(number);
  return number;
}

std::shared_ptr<const TReleaseStore::TSizes> TReleaseStore::Sizes() {
  TStamp stamp;
  std::lock_guard<std::mutex> guard(FMutex);
  if (!StampOf(FDir + "/index", stamp) && FSizes)
    return FSizes;
  if (!FSizes || !(stamp == FIndexStamp)) {
    auto sizes = std::make_shared<TSizes>();
    for (const auto& [hash, entry] : LoadIndex().ByHash)
      (*sizes)[entry.Id] = entry.StoredSize;
    FSizes = std::move(sizes);
    FIndexStamp = stamp;
  }
  return FSizes;
}

bool TReleaseStore::StampOf(const std::string& path, TStamp& stamp) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0)
    return false;
  stamp = {static_cast<uint64_t>(st.st_ino),
           static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
  return true;
}

TReleaseStore::TLock::TLock(const std::string& path)
    : FFd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
  if (!FFd)
    throw EFCreateError("Cannot create file \"" + path + "\". " + SystemReason());
  if (::flock(FFd.Get(), LOCK_EX | LOCK_NB) != 0)
    throw Exception("Another publisher is working on this store");
}

std::unique_ptr<TReleaseStore::TLock> TReleaseStore::Lock() const {
  fs::create_directories(FDir + "/blobs");
  fs::create_directories(FDir + "/releases");
  return std::make_unique<TLock>(FDir + "/lock");
}
