#include "model/VoUpdateConfig_impl.h"

#include "base/KaFiles.h"
#include "base/KaStrings.h"
#include "model/VoConfig.h"
#include "model/VoFolder_impl.h"
#include "net/KaWork.h"

#include <unordered_map>
#include <zlib.h>

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

// Inflates one zlib stream block by block, refusing to produce more than
// its limit: a small stream can claim gigabytes, and the listed size is all
// the file may hold.
class TInflater {
public:
  explicit TInflater(uint64_t limit) : FLimit(limit) {
    if (inflateInit(&FStream) != Z_OK)
      throw EInflate("zlib cannot start inflating");
  }
  ~TInflater() { inflateEnd(&FStream); }
  TInflater(const TInflater&) = delete;
  TInflater& operator=(const TInflater&) = delete;

  // The next part of the stream into out; true once the stream has ended,
  // whatever follows it being ignored. Raises EInflate for a broken stream
  // or one that inflates beyond the limit.
  bool Feed(const char* data, size_t size, TStream& out) {
    unsigned char buffer[65536];
    FStream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    FStream.avail_in = static_cast<uInt>(size);
    for (;;) {
      FStream.next_out = buffer;
      FStream.avail_out = sizeof buffer;
      int rc = inflate(&FStream, Z_NO_FLUSH);
      if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR)
        throw EInflate("The file's content is no valid zlib stream");
      const uint64_t produced = sizeof buffer - FStream.avail_out;
      if (produced > FLimit - FWritten)
        throw EInflate("The file's content inflates beyond its listed size of " +
                       std::to_string(FLimit) + " bytes");
      out.WriteBuffer(buffer, static_cast<int64_t>(produced));
      FWritten += produced;
      if (rc == Z_STREAM_END)
        return true;
      // Z_BUF_ERROR: no progress was possible, all input is taken.
      if (FStream.avail_in == 0 && FStream.avail_out != 0)
        return false;
    }
  }

private:
  z_stream FStream{};
  uint64_t FLimit;
  uint64_t FWritten = 0;
};

void FetchFile(const IConnectionPtr& connection, const std::string& command,
               const std::string& target, int32_t id, uint32_t listedSize,
               const TVoContentSeal* seal) {
  // A listed directory that is a file on disk cannot take the file: nothing
  // is fetched for it.
  if (size_t p = target.rfind('\\');
      p != std::string::npos && !ForceDirectories(target.substr(0, p)))
    return;
  IMessagePtr message = connection->NewMessage(command);
  message->WriteInteger(id);
  message->SetAnswerLimit(FileAnswerLimit(listedSize));
  connection->Call(message);
  try {
    InflateToFile(message->ReadString(), target, listedSize, seal);
  } catch (const EInflate&) {
    // One file whose content cannot be had leaves the file as it was; the
    // update goes on, and the next start asks for the file again.
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

// The sealed content into out, or EReleaseSeal: whatever keeps the stream
// from being that content is a content that does not match.
void InflateSealed(const std::string& data, uint32_t limit, TStream& out,
                   const TVoContentSeal& seal, const std::string& fileName) {
  TVoContentCheck check(seal, fileName);
  TVoCheckedStream checked(out, check);
  try {
    if (!TInflater(limit).Feed(data.data(), data.size(), checked))
      check.Refuse();
  } catch (const EInflate&) {
    check.Refuse();
  }
  check.Finish();
}

} // namespace

void InflateToFile(const std::string& data, const std::string& fileName, uint32_t limit,
                   const TVoContentSeal* seal) {
  // What an earlier fetch left when the process ended in its middle goes now.
  RemoveTemporariesBeside(fileName);
  const std::string temporary = TemporaryBeside(fileName);
  if (temporary.empty())
    throw EInflate("No temporary file can be made beside \"" + fileName + "\"");
  try {
    bool complete;
    {
      TFileStream out(temporary, fmCreate);
      if (seal) {
        InflateSealed(data, limit, out, *seal, fileName);
        complete = true;
      } else {
        complete = TInflater(limit).Feed(data.data(), data.size(), out);
      }
    }
    if (!complete)
      throw EInflate("The file's content ends before its zlib stream does");
    if (!RenameFile(temporary, fileName))
      throw EInflate("\"" + fileName + "\" cannot be replaced");
  } catch (const EInflate&) {
    RemoveFile(temporary);
    throw;
  } catch (const EReleaseSeal&) {
    RemoveFile(temporary);
    throw;
  } catch (const std::exception& e) {
    RemoveFile(temporary);
    throw EInflate(e.what());
  }
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

bool TVoUpdateConfig::NeedsUpdate(const std::string& directory) {
  FFolder->SetPath(directory);
  bool needed = false;
  WalkPlainFiles(FFolder->Scan(), FFolder->GetPath(),
                 [&needed](IVoFolderFile& f, const std::string&) {
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
  FFolder->Update();
  const IVoNodePtr root = FFolder->GetRoot();
  const std::string path = FFolder->GetPath();
  int32_t count = 0;
  WalkPlainFiles(root, path, [&count](IVoFolderFile&, const std::string&) { ++count; });

  TWorkGuard work(WorkFiles, count);
  int32_t position = 0;
  WalkPlainFiles(root, path, [&](IVoFolderFile& f, const std::string& prefix) {
    Work().SetPosition(++position);
    switch (UpdateAction(f)) {
    case TVoAction::Delete: RemoveFile(prefix + f.GetName()); break;
    case TVoAction::Fetch: {
      const std::string target = prefix + f.GetName();
      FetchFile(connection, command, target, f.GetId(), listedSizes[target],
                SealFor(FSeals, f.GetId(), listedSizes[target], target));
      break;
    }
    case TVoAction::None: break;
    }
  });
}

void TVoUpdateConfig::Remove(const std::string& directory, bool removeAll) {
  TWorkGuard work(WorkCall, 0);
  FFolder->SetPath(directory);
  FFolder->Update();
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
