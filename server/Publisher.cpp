#include "server/Publisher.h"

#include "base/KaFiles.h"
#include "base/KaPosixPath.h"
#include "base/KaStrings.h"
#include "model/VoFolder.h"
#include "model/VoUpdateConfig.h"
#include "base/KaHex.h"
#include "server/BlobFile.h"
#include "server/ReleaseStore.h"

#include <openssl/evp.h>
#include <zlib.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr size_t BlockSize = 256 * 1024;

// One file entry as the report compares releases.
struct TListed {
  int32_t Id = 0;
  int32_t Mode = 0;
  int32_t Size = 0;
  uint32_t CRC = 0;
  TDateTime Time;
};

using TListing = std::map<std::string, TListed>; // by relative path

// Calls `visit` for every file entry, depth first, with its relative path.
void WalkFiles(const IVoNodePtr& root,
               const std::function<void(const std::string&, IVoFolderFile&)>& visit) {
  TVoFolderWalk walk;
  walk.File = [&](const IVoNodePtr&, IVoFolderFile& file, const std::string& prefix) {
    visit(prefix + file.GetName(), file);
  };
  WalkFolder(root, "", walk);
}

TListing ListFiles(const IVoNodePtr& root) {
  TListing listing;
  WalkFiles(root, [&](const std::string& path, IVoFolderFile& f) {
    listing[path] = {f.GetId(), f.GetMode() & 0xFF, f.GetSize(), f.GetCRC(), f.GetTime()};
  });
  return listing;
}

// The scan refused links and special entries; reading refuses them again,
// in case one took a file's place since.
void ReadBlocks(const std::string& path, const std::function<void(const char*, size_t)>& use) {
  struct stat st {};
  TScopedFd fd = OpenRegularFile(path, st, false);
  if (!fd)
    throw EFOpenError("Cannot open file \"" + path + "\" as a regular file");
  std::vector<char> block(BlockSize);
  for (;;) {
    ssize_t n = ::read(fd.Get(), block.data(), block.size());
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0)
      throw EReadError("Cannot read \"" + path + "\"");
    if (n == 0)
      return;
    use(block.data(), static_cast<size_t>(n));
  }
}

std::string Sha256OfFile(const std::string& path) {
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
  if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_sha256(), nullptr) != 1)
    throw Exception("SHA-256 is not available");
  ReadBlocks(path, [&](const char* p, size_t n) { EVP_DigestUpdate(ctx.get(), p, n); });
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_DigestFinal_ex(ctx.get(), digest, &length);
  return ToHex(std::string(reinterpret_cast<char*>(digest), length));
}

// Deflates `source` into a zlib stream (RFC 1950) at `target`, through a
// temporary file so a blob is either complete or absent. Returns its size.
int64_t CompressFile(const std::string& source, const std::string& target) {
  std::string temp = target + ".tmp." + std::to_string(::getpid());
  std::ofstream out(temp, std::ios::binary | std::ios::trunc);
  if (!out)
    throw EFCreateError("Cannot create file \"" + temp + "\"");
  z_stream z{};
  if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK)
    throw Exception("zlib cannot start deflating");
  std::vector<char> buffer(BlockSize);
  auto pump = [&](int flush) {
    do {
      z.next_out = reinterpret_cast<Bytef*>(buffer.data());
      z.avail_out = static_cast<uInt>(buffer.size());
      deflate(&z, flush);
      out.write(buffer.data(), static_cast<std::streamsize>(buffer.size() - z.avail_out));
    } while (z.avail_out == 0);
  };
  try {
    ReadBlocks(source, [&](const char* p, size_t n) {
      z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(p));
      z.avail_in = static_cast<uInt>(n);
      pump(Z_NO_FLUSH);
    });
    pump(Z_FINISH);
    deflateEnd(&z);
    out.close();
    if (!out)
      throw EWriteError("Cannot write \"" + temp + "\"");
  } catch (...) {
    deflateEnd(&z);
    fs::remove(temp);
    throw;
  }
  fs::rename(temp, target);
  return static_cast<int64_t>(fs::file_size(target));
}

// Blobs written by a publish that died before saving the index have numbers
// no index knows; they are never handed out again either.
int32_t FirstFreeId(const TReleaseStore& store, const TIndex& index) {
  int32_t next = index.NextId;
  for (const auto& entry : fs::directory_iterator(store.Dir() + "/blobs")) {
    int64_t id = 0;
    if (TryStrToInt64(entry.path().filename().string(), id) && id >= next)
      next = static_cast<int32_t>(id + 1);
  }
  return next;
}

// Finds or makes the directory entry `name` below `dir`.
IVoNodePtr ChildDir(const IVoNodePtr& dir, const std::string& name) {
  for (IVoNodePtr node = dir->GetFirstChild(); node; node = node->GetNext()) {
    auto entry = std::dynamic_pointer_cast<IVoFolderNode>(node);
    if (entry && entry->GetName() == name) {
      if (!std::dynamic_pointer_cast<IVoFolderDir>(node))
        throw EPublish("\"" + name + "\" is a file, not a directory");
      return node;
    }
  }
  IVoNodePtr added = CreateFolderDir(name);
  std::dynamic_pointer_cast<IVoFolderNode>(added)->SetState(nsSame);
  dir->AddChild(added);
  return added;
}

void AddDeleteEntry(const IVoNodePtr& root, const std::string& path) {
  std::vector<std::string> parts = SplitRelativePath(path);
  IVoNodePtr dir = root;
  for (size_t i = 0; i + 1 < parts.size(); ++i)
    dir = ChildDir(dir, parts[i]);
  for (IVoNodePtr node = dir->GetFirstChild(); node; node = node->GetNext())
    if (auto entry = std::dynamic_pointer_cast<IVoFolderNode>(node);
        entry && entry->GetName() == parts.back())
      throw EPublish("\"" + path + "\" is in the folder and in [delete] at once");
  IVoNodePtr file = CreateFolderFile(parts.back());
  auto entry = std::dynamic_pointer_cast<IVoFolderNode>(file);
  entry->SetMode(umDelete);
  entry->SetState(nsSame);
  dir->AddChild(file);
}

class TPublisher {
public:
  TPublisher(const TPublishOptions& options, std::ostream& progress)
      : FOptions(options), FProgress(progress), FStore(options.StoreDir),
        FDescription(ParseReleaseDescription(ReadWholeFile(options.DescriptionFile))) {}

  TPublishReport Run() {
    auto lock = FStore.Lock();
    FStore.RemoveTemporaries();
    FIndex = FStore.LoadIndex();
    FIndex.NextId = FirstFreeId(FStore, FIndex);
    FReport.Previous = FStore.CurrentNumber();
    TListing previous;
    IVoFolderPtr folder = CreateFolder();
    if (FReport.Previous > 0) {
      IVoUpdateConfigPtr manifest = CreateUpdateConfig();
      manifest->SetText(FStore.Current()->Manifest);
      previous = ListFiles(manifest->GetFolder()->GetRoot());
      if (FOptions.TrustTimes)
        folder->SetRoot(manifest->GetFolder()->GetRoot());
    }
    Scan(*folder);
    for (const std::string& path : FDescription.Deletes)
      AddDeleteEntry(folder->GetRoot(), path);
    AssignContents(*folder, previous);

    folder->SetPath("");
    IVoUpdateConfigPtr manifest = CreateUpdateConfig();
    manifest->SetAppName(FDescription.AppName);
    manifest->SetAppDir(FDescription.AppDir);
    manifest->SetPayloadName(FDescription.PayloadName);
    manifest->GetFolder()->SetText(folder->GetText());
    manifest->GetShortcuts()->SetText(FDescription.ShortcutsText);

    FReport.Release = std::max(FReport.Previous, LastReleaseDir()) + 1;
    FStore.SaveIndex(FIndex);
    FStore.WriteRelease(TRelease{FReport.Release, FDescription.DisplayName, manifest->GetText()});
    FStore.MakeCurrent(FReport.Release);
    Compare(previous, ListFiles(folder->GetRoot()));
    return FReport;
  }

private:
  void Scan(IVoFolder& folder) {
    std::string dir = fs::absolute(FOptions.AppDir).lexically_normal().string();
    if (dir.find('\\') != std::string::npos)
      throw EPublish(
          "The folder's path holds a \"\\\", which the folder model takes as a separator");
    std::replace(dir.begin(), dir.end(), '/', '\\');
    folder.SetPath(dir);
    folder.GetMasks().Clear();
    for (const std::string& mask : FDescription.Masks)
      folder.GetMasks().Add(mask);
    folder.GetExcludes().Clear();
    for (const std::string& name : FDescription.Excludes)
      folder.GetExcludes().Add(name);
    FProgress << "scanning " << FOptions.AppDir << "\n";
    folder.SetPlainEntriesOnly(true);
    try {
      folder.Update();
    } catch (const EVoFolder& e) {
      throw EPublish(e.Message() + "; only regular files and directories inside the folder are "
                                   "published");
    }
    folder.Purge();
  }

  void AssignContents(IVoFolder& folder, const TListing& previous) {
    const std::string launcher = FDescription.AppName + ".exe";
    int total = 0, done = 0;
    WalkFiles(folder.GetRoot(), [&](const std::string&, IVoFolderFile&) { ++total; });
    WalkFiles(folder.GetRoot(), [&](const std::string& path, IVoFolderFile& file) {
      ++done;
      SplitRelativePath(path); // refuses names a client would not write
      if (SameText(path, launcher))
        throw EPublish("The folder holds \"" + path + "\", the name of the launcher copy");
      if (IsListedDelete(path))
        return;
      file.SetMode(FDescription.ModeFor(path));
      if (file.GetMode() == umDelete || file.GetMode() == umKeep) {
        file.SetId(0); // never fetched, so nothing to store
        return;
      }
      std::string disk = NativePath(folder.GetPath() + path);
      if (fs::file_size(disk) > static_cast<uintmax_t>(std::numeric_limits<int32_t>::max()))
        throw EPublish("\"" + path + "\" is larger than the file list can describe (2 GB)");
      auto before = previous.find(path);
      if (FOptions.TrustTimes && before != previous.end() && before->second.Id != 0 &&
          before->second.Size == file.GetSize() && before->second.Time == file.GetTime() &&
          before->second.CRC == file.GetCRC()) {
        file.SetId(before->second.Id);
        return;
      }
      file.SetId(ContentId(disk, path, done, total));
    });
  }

  bool IsListedDelete(const std::string& path) const {
    for (const std::string& d : FDescription.Deletes)
      if (d == path)
        return true;
    return false;
  }

  int32_t ContentId(const std::string& disk, const std::string& path, int done, int total) {
    std::string hash = Sha256OfFile(disk);
    auto known = FIndex.ByHash.find(hash);
    if (known != FIndex.ByHash.end() && fs::exists(FStore.BlobPath(known->second.Id)))
      return known->second.Id;
    int32_t id = FIndex.NextId++;
    FProgress << "[" << done << "/" << total << "] storing " << path << " (" << fs::file_size(disk)
              << " bytes) as " << id << "\n";
    int64_t stored = CompressFile(disk, FStore.BlobPath(id));
    if (stored > std::numeric_limits<int32_t>::max())
      throw EPublish("\"" + path + "\" compresses to more than one answer can carry (2 GB)");
    FIndex.ByHash[hash] = {id, stored};
    ++FReport.NewContents;
    return id;
  }

  int LastReleaseDir() const {
    int last = 0;
    for (const auto& entry : fs::directory_iterator(FStore.Dir() + "/releases")) {
      int64_t n = 0;
      if (TryStrToInt64(entry.path().filename().string(), n) && n > last)
        last = static_cast<int>(n);
    }
    return last;
  }

  int64_t StoredSize(int32_t id) const {
    for (const auto& [hash, entry] : FIndex.ByHash)
      if (entry.Id == id)
        return entry.StoredSize;
    return 0;
  }

  void Compare(const TListing& before, const TListing& after) {
    for (const auto& [path, now] : after) {
      ++FReport.Files;
      if (now.Mode == umDelete) {
        FReport.Deleted.push_back(path);
        continue;
      }
      auto was = before.find(path);
      bool fetched = now.Id != 0 && (now.Mode == umReplace || now.Mode == umCreateOnly);
      if (was == before.end() || was->second.Mode == umDelete) {
        FReport.Added.push_back(path);
      } else if (was->second.Id != now.Id || was->second.Mode != now.Mode) {
        FReport.Changed.push_back(path);
      } else {
        continue;
      }
      if (fetched)
        FReport.DownloadBytes += StoredSize(now.Id);
    }
    for (const auto& [path, was] : before)
      if (!after.count(path) && was.Mode != umDelete)
        FReport.Removed.push_back(path);
  }

  const TPublishOptions& FOptions;
  std::ostream& FProgress;
  TReleaseStore FStore;
  TReleaseDescription FDescription;
  TIndex FIndex;
  TPublishReport FReport;
};

} // namespace

TPublishReport Publish(const TPublishOptions& options, std::ostream& progress) {
  return TPublisher(options, progress).Run();
}

std::string FormatReport(const TPublishReport& r) {
  std::string out = "release " + std::to_string(r.Release) + " is current";
  out += r.Previous ? " (was " + std::to_string(r.Previous) + ")\n" : " (the first)\n";
  auto list = [&](const char* what, const std::vector<std::string>& paths) {
    for (const std::string& p : paths)
      out += std::string("  ") + what + p + "\n";
  };
  list("added    ", r.Added);
  list("changed  ", r.Changed);
  list("removed  ", r.Removed);
  list("deleted on clients  ", r.Deleted);
  out += std::to_string(r.Files) + " entries: " + std::to_string(r.Added.size()) + " added, " +
         std::to_string(r.Changed.size()) + " changed, " + std::to_string(r.Removed.size()) +
         " removed; " + std::to_string(r.NewContents) + " new contents stored; " +
         std::to_string(r.DownloadBytes) + " bytes to download" +
         (r.Previous ? " from release " + std::to_string(r.Previous) : std::string()) + "\n";
  return out;
}
