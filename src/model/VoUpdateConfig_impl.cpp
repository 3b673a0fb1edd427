#include "model/VoUpdateConfig_impl.h"

#include "base/KaFiles.h"
#include "base/KaStrings.h"
#include "model/VoConfig.h"
#include "model/VoFileSinks.h"
#include "model/VoFolder_impl.h"
#include "model/VoVerifiedFiles.h"
#include "net/KaWork.h"

#include <unordered_map>

namespace {

const char* const CRLF = "\r\n";

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0)
      out += CRLF;
    out += lines[i];
  }
  return out;
}

void AddLines(const IVoConfigSectionPtr& section, const std::string& text) {
  for (const std::string& line : SplitLines(text))
    section->AddLine(line);
}

// The file entries of a tree whose names are plain names, each with the
// directory it sits in. A directory entry whose name is no plain name is left
// out with everything below it, so nothing outside the directory walked is
// ever touched, whatever the list says.
void WalkPlainFiles(const IVoNodePtr& root, const std::string& path,
                    const std::function<void(IVoFolderFile&, const std::string&)>& file,
                    const std::function<void(IVoFolderDir&, const std::string&)>& leaveDir = {}) {
  TVoFolderWalk walk;
  walk.EnterDir = [](const IVoNodePtr&, IVoFolderDir& d, const std::string&) {
    return IsPlainEntryName(d.GetName());
  };
  if (leaveDir)
    walk.LeaveDir = [&](const IVoNodePtr&, IVoFolderDir& d, const std::string& prefix) {
      leaveDir(d, prefix);
    };
  walk.File = [&](const IVoNodePtr&, IVoFolderFile& f, const std::string& prefix) {
    if (IsPlainEntryName(f.GetName()))
      file(f, prefix);
  };
  WalkFolder(root, path, walk);
}

// Fetches one file into place: the answer's string passes, piece by piece
// as it arrives, through the inflater into a temporary beside the target,
// which replaces the target only once the stream came whole. A file whose
// content cannot become the file (EInflate) is left as it was; the update
// goes on, and the next start asks for the file again. Connection failures
// end the update, and so does content of a signed release that is not the
// sealed content (EReleaseSeal).
void FetchFile(const IConnectionPtr& connection, const std::string& command,
               const std::string& target, int32_t id, uint32_t listedSize,
               TVoVerifiedFiles* verified, const std::string& path, const TVoContentSeal* seal) {
  // A listed directory that is a file on disk cannot take the file: nothing
  // is fetched for it.
  if (size_t p = target.rfind('\\');
      p != std::string::npos && !ForceDirectories(target.substr(0, p)))
    return;
  IMessagePtr message = connection->NewMessage(command);
  message->WriteInteger(id);
  message->SetAnswerLimit(FileAnswerLimit(listedSize));
  std::optional<TFileContent> content;
  try {
    // The scan found what an earlier fetch left beside the file, and the
    // update removed it.
    content.emplace(target, listedSize, seal, false);
    message->SetResultSink(&content->Sink());
    connection->Call(message);
    message->SetResultSink(nullptr);
    content->Commit(verified, path);
  } catch (const EInflate&) {
    message->SetResultSink(nullptr);
    if (content)
      content->Refused();
  }
}

// The seal a fetched file of a signed release must match; raises when the
// release gives it none, or one of another size than the list's (which is
// the inflater's limit).
const TVoContentSeal* SealFor(const std::optional<TVoContentSeals>& seals, int32_t id,
                              uint32_t listedSize, const std::string& target) {
  if (!seals)
    return nullptr;
  auto found = seals->find(id);
  if (found == seals->end() || found->second.Size != listedSize)
    throw EReleaseSeal(std::string(ReleaseContentError) + " " + target);
  return &found->second;
}

} // namespace

void InflateToFile(const std::string& data, const std::string& fileName, uint32_t limit,
                   const TVoContentSeal* seal) {
  TFileContent content(fileName, limit, seal, true);
  try {
    content.Sink().Write(data.data(), data.size());
  } catch (const EInflate&) {
    content.Refused();
    throw;
  }
  content.Commit(nullptr, std::string());
}

int64_t FileAnswerLimit(uint32_t listedSize) {
  // The stream at worst (zlib's compressBound, here in 64 bits), then the header: status, flag,
  // sequence, the next key as a string of any sane length, and the length of
  // the content's own string.
  constexpr int64_t HeaderRoom = 3 + 4 + 65536 + 4;
  const int64_t n = listedSize;
  return n + (n >> 12) + (n >> 14) + (n >> 25) + 13 + HeaderRoom;
}

TVoAction UpdateAction(const IVoFolderFile& file) {
  const int32_t mode = file.GetMode() & 0xFF;
  const bool fetchable = file.GetId() != 0;
  switch (file.GetState()) {
  case nsSame: return mode == umDelete ? TVoAction::Delete : TVoAction::None;
  case nsChanged:
    if (mode == umDelete)
      return TVoAction::Delete;
    return mode == umReplace && fetchable ? TVoAction::Fetch : TVoAction::None;
  case nsMissing:
    return (mode == umReplace || mode == umCreateOnly) && fetchable ? TVoAction::Fetch
                                                                    : TVoAction::None;
  default: return TVoAction::None;
  }
}

// --- shortcuts ----------------------------------------------------------------

IVoShortcutPtr TVoShortcuts::AddShortcut() {
  FItems.push_back(std::make_shared<TVoShortcut>());
  return FItems.back();
}

std::string TVoShortcuts::GetText() const {
  std::vector<std::string> lines;
  for (const IVoShortcutPtr& s : FItems)
    lines.push_back("|" + Escape(s->GetName()) + "," + Escape(s->GetTarget()) + "," +
                    Escape(s->GetIcon()) + "," + Escape(s->GetDescription()) + "," +
                    Escape(s->GetGroup()) + "," + Escape(s->GetArguments()));
  return JoinLines(lines);
}

void TVoShortcuts::SetText(const std::string& text) {
  for (const std::string& line : SplitLines(text)) {
    if (line.size() < 2 || line[0] != '|')
      continue;
    std::string rest = line.substr(1);
    auto field = [&rest] { return Unescape(SplitFirst(",", rest)); };
    IVoShortcutPtr s = AddShortcut();
    s->SetName(field());
    s->SetTarget(field());
    s->SetIcon(field());
    s->SetDescription(field());
    s->SetGroup(field());
    s->SetArguments(field());
  }
}

// --- the manifest text -----------------------------------------------------------

std::string TVoUpdateConfig::GetText() const {
  IVoConfigPtr config = CreateConfig();
  IVoConfigSectionPtr installer = config->AddSection("installer");
  installer->WriteValue("appName", FAppName);
  installer->WriteValue("appDir", FAppDir);
  installer->WriteValue("payloadName", FPayloadName);
  AddLines(config->AddSection("files"), FFolder->GetText());
  AddLines(config->AddSection("shortcuts"), FShortcuts->GetText());
  return config->GetText();
}

void TVoUpdateConfig::SetText(const std::string& text) {
  IVoConfigPtr config = CreateConfig();
  config->SetText(text);
  IVoConfigSectionPtr installer = config->FindSection("installer");
  FAppName = installer ? installer->ReadValue("appName") : std::string();
  FAppDir = installer ? installer->ReadValue("appDir") : std::string();
  FPayloadName = installer ? installer->ReadValue("payloadName") : std::string();
  IVoConfigSectionPtr files = config->FindSection("files");
  FFolder->SetText(files ? JoinLines(files->GetLines()) : std::string());
  if (IVoConfigSectionPtr shortcuts = config->FindSection("shortcuts"))
    FShortcuts->SetText(JoinLines(shortcuts->GetLines()));
}

// --- bringing a directory in line ----------------------------------------------

namespace {

// The record of verified files of the folder's directory, unless the list
// itself names a file of the record's name at the top: that file is the
// product's own then, and the scans go without a record.
std::unique_ptr<TVoVerifiedFiles> OpenVerified(const IVoFolder& folder) {
  if (folder.GetPath().empty())
    return nullptr;
  for (IVoNodePtr c = folder.GetRoot()->GetFirstChild(); c; c = c->GetNext())
    if (auto entry = std::dynamic_pointer_cast<IVoFolderNode>(c);
        entry && SameText(entry->GetName(), TVoVerifiedFiles::RecordName))
      return nullptr;
  auto verified = std::make_unique<TVoVerifiedFiles>(folder.GetPath());
  verified->Load();
  return verified;
}

TVoScanOptions ScanOptions(TVoVerifiedFiles* verified, bool skipNewFiles) {
  TVoScanOptions options;
  options.Verified = verified;
  options.SkipNewFiles = skipNewFiles;
  if (verified)
    options.Hidden = TVoVerifiedFiles::RecordName;
  return options;
}

TVoFolder& FolderImpl(const IVoFolderPtr& folder) { return dynamic_cast<TVoFolder&>(*folder); }

} // namespace

bool TVoUpdateConfig::NeedsUpdate(const std::string& directory) {
  FFolder->SetPath(directory);
  std::unique_ptr<TVoVerifiedFiles> verified = OpenVerified(*FFolder);
  // New files decide nothing here: they are not read.
  IVoNodePtr scanned = FolderImpl(FFolder).Scan(ScanOptions(verified.get(), true));
  if (verified)
    verified->Save();
  bool needed = false;
  WalkPlainFiles(scanned, FFolder->GetPath(), [&needed](IVoFolderFile& f, const std::string&) {
    needed = needed || UpdateAction(f) == TVoAction::Fetch;
  });
  return needed;
}

void TVoUpdateConfig::Update(const std::string& directory, const IConnectionPtr& connection,
                             const std::string& command) {
  FFolder->SetPath(directory);
  // The sizes the list gives: the scan puts the disk's size into a changed
  // entry, and a fetched file may hold no more than the list says.
  std::unordered_map<std::string, uint32_t> listedSizes;
  WalkPlainFiles(FFolder->GetRoot(), FFolder->GetPath(),
                 [&listedSizes](IVoFolderFile& f, const std::string& prefix) {
                   listedSizes.emplace(prefix + f.GetName(), static_cast<uint32_t>(f.GetSize()));
                 });
  std::unique_ptr<TVoVerifiedFiles> verified = OpenVerified(*FFolder);
  TVoScanOptions options = ScanOptions(verified.get(), false);
  std::vector<std::string> temporaries;
  options.Temporaries = &temporaries;
  FFolder->SetRoot(FolderImpl(FFolder).Scan(options));
  const IVoNodePtr root = FFolder->GetRoot();
  const std::string path = FFolder->GetPath();
  // What fetches that the process never finished left, by the file they were for.
  std::unordered_multimap<std::string, std::string> leftovers;
  for (const std::string& t : temporaries) {
    const std::string dir = ExtractDir(t);
    leftovers.emplace(dir + TemporaryBaseName(t.substr(dir.size())), t);
  }
  int32_t count = 0;
  WalkPlainFiles(root, path, [&count](IVoFolderFile&, const std::string&) { ++count; });

  // What was proved is kept also when a call ends the update midway.
  struct TSaveAtEnd {
    TVoVerifiedFiles* Verified;
    ~TSaveAtEnd() {
      try {
        if (Verified)
          Verified->Save();
      } catch (...) {
        // Not saving costs the next run reading time, nothing more.
      }
    }
  } saveAtEnd{verified.get()};
  TWorkGuard work(WorkFiles, count);
  int32_t position = 0;
  WalkPlainFiles(root, path, [&](IVoFolderFile& f, const std::string& prefix) {
    Work().SetPosition(++position);
    const TVoAction action = UpdateAction(f);
    if (action == TVoAction::None)
      return;
    if (verified)
      verified->Forget(prefix.substr(path.size()) + f.GetName());
    const std::string target = prefix + f.GetName();
    if (action == TVoAction::Delete) {
      RemoveFile(target);
      return;
    }
    auto [from, to] = leftovers.equal_range(target);
    for (; from != to; ++from)
      RemoveFile(from->second);
    FetchFile(connection, command, target, f.GetId(), listedSizes[target], verified.get(),
              prefix.substr(path.size()) + f.GetName(),
              SealFor(FSeals, f.GetId(), listedSizes[target], target));
  });
}

void TVoUpdateConfig::Remove(const std::string& directory, bool removeAll) {
  TWorkGuard work(WorkCall, 0);
  FFolder->SetPath(directory);
  std::unique_ptr<TVoVerifiedFiles> verified = OpenVerified(*FFolder);
  FFolder->SetRoot(FolderImpl(FFolder).Scan(ScanOptions(verified.get(), false)));
  // The record is no file of the user's: it goes whatever the flag says, and
  // before the directories, so that it keeps none of them.
  if (verified)
    TVoVerifiedFiles::Remove(FFolder->GetPath());
  auto removeFile = [removeAll](IVoFolderFile& f, const std::string& prefix) {
    bool remove = false;
    switch (f.GetState()) {
    case nsNew: remove = removeAll; break;
    case nsSame:
    case nsChanged: remove = removeAll || (f.GetMode() & 0xFF) != umKeep; break;
    default: break;
    }
    if (remove)
      RemoveFile(prefix + f.GetName());
  };
  auto removeDir = [](IVoFolderDir& d, const std::string& prefix) {
    RemoveDir(prefix + d.GetName() + "\\");
  };
  WalkPlainFiles(FFolder->GetRoot(), FFolder->GetPath(), removeFile, removeDir);
}
