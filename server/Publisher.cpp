#include "server/Publisher.h"

#include "base/KaCrypto.h"
#include "base/KaFiles.h"
#include "base/KaHex.h"
#include "base/KaPosixPath.h"
#include "base/KaStrings.h"
#include "model/VoFolder.h"
#include "model/VoReleaseSeal.h"
#include "model/VoUpdateConfig.h"
#include "server/BlobFile.h"
#include "server/ReleaseStore.h"
#include "server/SigningKey.h"

#include <zlib.h>

#include <cerrno>
#include <ctime>
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

// The same SHA-256 as the clients compute over what they inflate.
std::string Sha256OfFile(const std::string& path) {
  TSha256 hash;
  ReadBlocks(path, [&](const char* p, size_t n) { hash.Update(p, n); });
  return ToHex(hash.Finish());
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

int LastReleaseDir(const TReleaseStore& store) {
  int last = 0;
  for (const auto& entry : fs::directory_iterator(store.Dir() + "/releases")) {
    int64_t n = 0;
    if (TryStrToInt64(entry.path().filename().string(), n) && n > last)
      last = static_cast<int>(n);
  }
  return last;
}

constexpr int MaxExpiresDays = 36500;

int64_t ExpiryOf(int days, int64_t signedAt) {
  if (days < 0 || days > MaxExpiresDays)
    throw EPublish("--expires-days takes 1 to " + std::to_string(MaxExpiresDays) + " days");
  if (days == 0)
    return 0;
  return (signedAt != 0 ? signedAt : static_cast<int64_t>(std::time(nullptr))) +
         int64_t(days) * 86400;
}

// The seal of a manifest: every content identifier of its file list with the
// size the list gives and the SHA-256 the store's index holds for it.
TVoReleaseSeal SealOf(const TReleaseStore& store, const TIndex& index, const std::string& manifest,
                      int number, const std::string& displayName, int64_t expires) {
  std::map<int32_t, std::string> hashById;
  for (const auto& [hash, entry] : index.ByHash)
    hashById[entry.Id] = hash;
  TVoReleaseSeal seal;
  seal.Number = number;
  seal.Expires = expires;
  seal.DisplayName = displayName;
  IVoUpdateConfigPtr parsed = CreateUpdateConfig();
  parsed->SetText(manifest);
  WalkFiles(parsed->GetFolder()->GetRoot(), [&](const std::string& path, IVoFolderFile& file) {
    if (file.GetId() == 0)
      return;
    auto known = hashById.find(file.GetId());
    TVoContentSeal content;
    content.Size = static_cast<uint32_t>(file.GetSize());
    if (known == hashById.end() || !FromHex(known->second, content.Sha256) ||
        content.Sha256.size() != Sha256Size || !fs::exists(store.BlobPath(file.GetId())))
      throw EPublish("The content " + std::to_string(file.GetId()) + " of \"" + path +
                     "\" is not in the store, so it cannot be signed");
    auto [at, added] = seal.Contents.emplace(file.GetId(), content);
    if (!added && !(at->second == content))
      throw EPublish("The content " + std::to_string(file.GetId()) + " is listed with two sizes");
  });
  return seal;
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
        FDescription(ParseReleaseDescription(ReadWholeFile(options.DescriptionFile))) {
    // Refusals before anything is stored.
    FExpires = ExpiryOf(options.ExpiresDays, options.SignedAt);
    if (!options.SignKeyFile.empty())
      FKey = LoadSigningKey(options.SignKeyFile);
    else if (options.ExpiresDays != 0)
      throw EPublish("Only a signed release expires: --expires-days needs --sign-key");
  }

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
      const std::string text = FStore.Current()->Manifest;
      // Setup programs that carry the vendor's key would refuse an unsigned
      // release and stop starting the application.
      if (FKey.SecretKey.empty() && HasSignatureSection(text))
        throw EPublish("The current release " + std::to_string(FReport.Previous) +
                       " is signed: publish with --sign-key, or setup programs stamped with the "
                       "public key refuse the new release");
      manifest->SetText(text);
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

    FReport.Release = std::max(FReport.Previous, LastReleaseDir(FStore)) + 1;
    std::string text = manifest->GetText();
    if (!FKey.SecretKey.empty()) {
      text = SignManifest(
          text, SealOf(FStore, FIndex, text, FReport.Release, FDescription.DisplayName, FExpires),
          FKey.SecretKey);
      FReport.Signed = true;
      FReport.Expires = FExpires;
    }
    FStore.SaveIndex(FIndex);
    FStore.WriteRelease(TRelease{FReport.Release, FDescription.DisplayName, text});
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
  TEd25519KeyPair FKey;
  int64_t FExpires = 0;
};

std::string SignedLine(int64_t expires) {
  return expires != 0 ? "signed; expires " + FormatExpiry(expires) + "\n"
                      : "signed; never expires\n";
}

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
  if (r.Signed)
    out += SignedLine(r.Expires);
  return out;
}

TResignReport Resign(const TResignOptions& options) {
  const int64_t expires = ExpiryOf(options.ExpiresDays, options.SignedAt);
  const TEd25519KeyPair key = LoadSigningKey(options.SignKeyFile);
  TReleaseStore store(options.StoreDir);
  auto lock = store.Lock();
  TResignReport report;
  report.ResignedOf = store.CurrentNumber();
  if (report.ResignedOf == 0)
    throw EPublish("The store holds no release to sign");
  const std::shared_ptr<const TRelease> current = store.Current();
  const std::string manifest = UnsealedManifestText(current->Manifest);
  report.Release = std::max(report.ResignedOf, LastReleaseDir(store)) + 1;
  report.Expires = expires;
  const std::string text = SignManifest(
      manifest,
      SealOf(store, store.LoadIndex(), manifest, report.Release, current->DisplayName, expires),
      key.SecretKey);
  store.WriteRelease(TRelease{report.Release, current->DisplayName, text});
  store.MakeCurrent(report.Release);
  return report;
}

std::string FormatReport(const TResignReport& r) {
  return "release " + std::to_string(r.Release) + " is current (release " +
         std::to_string(r.ResignedOf) + " signed anew, the same files)\n" + SignedLine(r.Expires);
}
