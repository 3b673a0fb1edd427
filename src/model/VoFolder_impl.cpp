#include "model/VoFolder_impl.h"

#include "base/KaDateUtils.h"
#include "base/KaFiles.h"
#include "base/KaStrings.h"
#include "model/VoVerifiedFiles.h"

#include <algorithm>
#include <atomic>
#include <unordered_map>

void TVoFileList::Add(std::unique_ptr<TVoFile> file) {
  FItems.push_back(std::move(file));
  FSorted = false;
}

static int32_t SignedCRC(uint32_t crc) { return static_cast<int32_t>(crc); }

void TVoFileList::SortByCRC() {
  std::stable_sort(FItems.begin(), FItems.end(), [](const auto& a, const auto& b) {
    return SignedCRC(a->CRC) < SignedCRC(b->CRC);
  });
  FSorted = true;
}

const TVoFile* TVoFileList::FindByCRC(uint32_t crc) const {
  if (FSorted) {
    auto at = std::lower_bound(FItems.begin(), FItems.end(), SignedCRC(crc),
                               [](const auto& f, int32_t c) { return SignedCRC(f->CRC) < c; });
    return at != FItems.end() && (*at)->CRC == crc ? at->get() : nullptr;
  }
  for (const auto& f : FItems)
    if (f->CRC == crc)
      return f.get();
  return nullptr;
}

void WalkFolder(const IVoNodePtr& root, const std::string& path, const TVoFolderWalk& walk) {
  // Along the links with a stack of open directories on the heap, so that a
  // tree read from a hostile text cannot nest the walk deeper than memory.
  struct TOpen {
    IVoNodePtr Node;
    std::shared_ptr<IVoFolderDir> Dir;
    size_t PrefixLength;
  };
  std::vector<TOpen> open;
  std::string prefix = path;
  IVoNodePtr node = root ? root->GetFirstChild() : nullptr;
  for (;;) {
    if (!node) {
      if (open.empty())
        return;
      TOpen done = std::move(open.back());
      open.pop_back();
      prefix.resize(done.PrefixLength);
      node = done.Node->GetNext();
      if (walk.LeaveDir)
        walk.LeaveDir(done.Node, *done.Dir, prefix);
      continue;
    }
    IVoNodePtr next = node->GetNext();
    if (auto file = std::dynamic_pointer_cast<IVoFolderFile>(node)) {
      if (walk.File)
        walk.File(node, *file, prefix);
    } else if (auto dir = std::dynamic_pointer_cast<IVoFolderDir>(node)) {
      if (!walk.EnterDir || walk.EnterDir(node, *dir, prefix)) {
        open.push_back({node, dir, prefix.size()});
        prefix += dir->GetName();
        prefix += '\\';
        node = node->GetFirstChild();
        continue;
      }
    }
    node = std::move(next);
  }
}

TVoFolder::TVoFolder() : FRoot(std::make_shared<TVoNode>()) {}

void TVoFolder::SetPath(const std::string& value) { FPath = AddBackslash(value); }

void TVoFolder::SetRoot(const IVoNodePtr& root) {
  FRoot = root ? root : std::make_shared<TVoNode>();
}

// --- the file list text ---------------------------------------------------

namespace {

void AppendLine(std::string& out, std::string_view marker, const std::string& fields) {
  out += marker;
  out += fields;
  out += "\r\n";
}

} // namespace

std::string TVoFolder::GetText() const {
  std::string out;
  AppendLine(out, "|=", Escape(FPath));
  for (const std::string& mask : FMasks)
    AppendLine(out, "|:", Escape(mask));
  for (const std::string& exclude : FExcludes)
    AppendLine(out, "|~", Escape(exclude));
  TVoFolderWalk walk;
  walk.EnterDir = [&out](const IVoNodePtr&, IVoFolderDir& d, const std::string&) {
    AppendLine(out, "|+",
               IntToStr(d.GetId()) + "," + IntToStr(d.GetMode()) + "," + Escape(d.GetName()));
    return true;
  };
  walk.LeaveDir = [&out](const IVoNodePtr&, IVoFolderDir&, const std::string&) {
    AppendLine(out, "|x", "");
  };
  walk.File = [&out](const IVoNodePtr&, IVoFolderFile& f, const std::string&) {
    AppendLine(out, "|-",
               IntToStr(f.GetId()) + "," + IntToStr(f.GetSize()) + "," + IntToStr(f.GetCRC()) +
                   "," + DateTimeToStamp(f.GetTime()) + "," + IntToStr(f.GetMode()) + "," +
                   Escape(f.GetName()));
  };
  WalkFolder(FRoot, FPath, walk);
  AppendLine(out, "|x", "");
  return out;
}

void TVoFolder::SetText(const std::string& text) {
  FPath.clear();
  FExcludes.Clear();
  FMasks.Clear();
  FRoot = std::make_shared<TVoNode>();
  IVoNodePtr current = FRoot;
  for (const std::string& line : SplitLines(text))
    if (line.size() >= 2 && line[0] == '|')
      ReadLine(line, current);
}

void TVoFolder::ReadLine(const std::string& line, IVoNodePtr& current) {
  std::string rest = line.substr(2);
  auto number = [&rest] { return StrToInt(SplitFirst(",", rest)); };
  switch (line[1]) {
  case '=': FPath = Unescape(rest); break;
  case ':': FMasks.Add(Unescape(rest)); break;
  case '~': FExcludes.Add(Unescape(rest)); break;
  case '+': {
    auto dir = std::make_shared<TVoFolderDir>();
    dir->SetId(number());
    dir->SetMode(number());
    dir->SetName(Unescape(SplitFirst(",", rest)));
    dir->SetState(nsSame);
    current->AddChild(dir);
    current = dir;
    break;
  }
  case '-': {
    auto file = std::make_shared<TVoFolderFile>();
    file->SetId(number());
    file->SetSize(number());
    file->SetCRC(static_cast<uint32_t>(StrToInt64(SplitFirst(",", rest))));
    file->SetTime(StampToDateTime(SplitFirst(",", rest)));
    file->SetMode(number());
    file->SetName(Unescape(SplitFirst(",", rest)));
    file->SetState(nsSame);
    current->AddChild(file);
    break;
  }
  case 'x':
    // A surplus "|x" at the root's level leaves the root current, so the
    // entries after it still have a directory to go to.
    if (IVoNodePtr parent = current->GetParent())
      current = std::move(parent);
    break;
  }
}

void TVoFolder::LoadFromStream(TStream& stream) { SetText(stream.ReadRest()); }

void TVoFolder::SaveToStream(TStream& stream) const { stream.WriteString(GetText()); }

void TVoFolder::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TVoFolder::SaveToFile(const std::string& fileName) const {
  TFileStream file(fileName, fmCreate);
  SaveToStream(file);
}

// --- scanning ---------------------------------------------------------------

IVoNodePtr TVoFolder::CopyTree() const {
  IVoNodePtr root = std::make_shared<TVoNode>();
  std::vector<IVoNode*> parents{root.get()};
  auto copy = [&parents](auto& entry, const IVoFolderNode& from) {
    entry->SetId(from.GetId());
    entry->SetName(from.GetName());
    entry->SetMode(from.GetMode());
    entry->SetState(nsMissing);
    parents.back()->AddChild(entry);
  };
  TVoFolderWalk walk;
  walk.EnterDir = [&](const IVoNodePtr&, IVoFolderDir& d, const std::string&) {
    auto dir = std::make_shared<TVoFolderDir>();
    copy(dir, d);
    parents.push_back(dir.get());
    return true;
  };
  walk.LeaveDir = [&](const IVoNodePtr&, IVoFolderDir&, const std::string&) { parents.pop_back(); };
  walk.File = [&](const IVoNodePtr&, IVoFolderFile& f, const std::string&) {
    auto file = std::make_shared<TVoFolderFile>();
    file->SetCRC(f.GetCRC());
    file->SetTime(f.GetTime());
    file->SetSize(f.GetSize());
    copy(file, f);
  };
  WalkFolder(FRoot, FPath, walk);
  return root;
}

void TVoFolder::Merge(const std::string& dir, IVoNode& node, const TVoScanOptions& options) const {
  // The children by name, the first of equal names winning as a walk through
  // the list would, so that matching a directory of n entries costs n steps
  // and not n * n.
  std::unordered_map<std::string_view, TVoFolderDir*> dirs;
  std::unordered_map<std::string_view, TVoFolderFile*> files;
  for (IVoNodePtr c = node.GetFirstChild(); c; c = c->GetNext()) {
    if (auto* f = dynamic_cast<TVoFolderFile*>(c.get()))
      files.emplace(f->Name(), f);
    else if (auto* d = dynamic_cast<TVoFolderDir*>(c.get()))
      dirs.emplace(d->Name(), d);
  }

  // One listing of the directory gives the search's records and, beside
  // them, the stamps that the record of verified files goes by.
  std::vector<TStampedEntry> listed = FindStampedEntries(dir);
  const bool top = dir.size() == FPath.size();
  if (top && !options.Hidden.empty())
    std::erase_if(listed, [&](const TStampedEntry& e) { return e.Rec.Name == options.Hidden; });
  std::vector<TSearchRec> all;
  all.reserve(listed.size());
  std::unordered_map<std::string_view, const TFileStamp*> stamps;
  for (const TStampedEntry& e : listed) {
    all.push_back(e.Rec);
    if (e.Rec.IsDirectory())
      continue;
    stamps.emplace(e.Rec.Name, &e.Stamp);
    if (options.Temporaries && !TemporaryBaseName(e.Rec.Name).empty())
      options.Temporaries->push_back(dir + e.Rec.Name);
  }

  for (const TSearchRec& rec : all) {
    if (!rec.IsDirectory() || FExcludes.ContainsText(rec.Name))
      continue;
    CheckPlain(dir, rec);
    TVoFolderDir* child;
    if (auto at = dirs.find(rec.Name); at != dirs.end()) {
      child = at->second;
      child->SetState(nsSame);
    } else {
      auto added = std::make_shared<TVoFolderDir>();
      added->SetName(rec.Name);
      node.AddChild(added);
      child = added.get();
    }
    Merge(dir + rec.Name + "\\", *child, options);
  }

  auto stampOf = [&stamps](const std::string& name) {
    auto at = stamps.find(name);
    return at == stamps.end() ? TFileStamp() : *at->second;
  };
  for (const std::string& mask : FMasks) {
    if (!IsPlainMask(mask))
      continue;
    std::vector<TSearchRec> matched;
    if (mask != "*") {
      matched = FindEntries(dir + mask);
      if (top && !options.Hidden.empty())
        std::erase_if(matched, [&](const TSearchRec& r) { return r.Name == options.Hidden; });
    }
    for (const TSearchRec& rec : mask == "*" ? all : matched) {
      if (rec.IsDirectory())
        continue;
      CheckPlain(dir, rec);
      const auto size = static_cast<int32_t>(rec.Size);
      if (auto at = files.find(rec.Name); at != files.end()) {
        TVoFolderFile* f = at->second;
        // A file that an earlier mask matched has been judged already; judging
        // it again would see its own new size and time and call it unchanged.
        if (f->GetState() != nsMissing)
          continue;
        f->DiskStamp = stampOf(rec.Name);
        if (f->GetTime() == rec.Time && f->GetSize() == size) {
          f->SetState(nsSame);
        } else {
          f->SetTime(rec.Time);
          f->SetSize(size);
          f->SetState(nsChanged);
        }
      } else {
        auto added = std::make_shared<TVoFolderFile>();
        added->SetName(rec.Name);
        added->SetSize(size);
        added->SetTime(rec.Time);
        added->DiskStamp = stampOf(rec.Name);
        node.AddChild(added);
        files.emplace(added->Name(), added.get());
      }
    }
  }
}

// Checked before anything of the entry is read or walked into, so a FIFO
// blocks nothing and a link loop ends at its first step.
void TVoFolder::CheckPlain(const std::string& dir, const TSearchRec& rec) const {
  if (!FPlainEntriesOnly || (!rec.Linked && !rec.Special))
    return;
  std::string path = dir.substr(std::min(dir.size(), FPath.size())) + rec.Name;
  throw EVoFolder("\"" + path + "\" is " +
                  (rec.Linked ? "a symbolic link" : "neither a file nor a directory"));
}

namespace {

std::atomic<int64_t> ScannedBytes{0};

} // namespace

int64_t TVoFolder::ContentBytesRead() { return ScannedBytes.load(); }

IVoNodePtr TVoFolder::Scan() const { return Scan(TVoScanOptions()); }

IVoNodePtr TVoFolder::Scan(const TVoScanOptions& options) const {
  // Anything that changes a file from here on moves its stamp past this.
  const int64_t observed = TVoVerifiedFiles::Now();
  IVoNodePtr root = CopyTree();
  Merge(FPath, *root, options);
  TVoVerifiedFiles* verified = options.Verified;
  TVoFolderWalk walk;
  walk.File = [&](const IVoNodePtr& node, IVoFolderFile& f, const std::string& prefix) {
    const TVoNodeState state = f.GetState();
    if (state == nsMissing)
      return;
    auto& file = static_cast<TVoFolderFile&>(*node);
    const std::string path = prefix.substr(FPath.size()) + f.GetName();
    uint32_t crc = 0;
    // Met also for a file that needs no CRC-32: its entry is kept.
    const bool known = verified && verified->Meet(path, file.DiskStamp, crc);
    if (state == nsSame || (state == nsNew && options.SkipNewFiles))
      return;
    if (!known)
      ScannedBytes += file.DiskStamp.Size >= 0
                          ? file.DiskStamp.Size
                          : static_cast<int64_t>(static_cast<uint32_t>(f.GetSize()));
    if (!known && !verified) {
      crc = FileCRC(prefix + f.GetName());
    } else if (!known) {
      TFileStamp read;
      crc = FileCRC(prefix + f.GetName(), read);
      // The listing and the read must have seen the same file.
      if (read == file.DiskStamp)
        verified->Read(path, read, crc, observed);
    }
    if (state == nsChanged && crc == f.GetCRC())
      f.SetState(nsSame);
    f.SetCRC(crc);
  };
  WalkFolder(root, FPath, walk);
  return root;
}

void TVoFolder::Update() { FRoot = Scan(); }

void TVoFolder::Purge() {
  auto purge = [](const IVoNodePtr& node, IVoFolderNode& entry) {
    if (entry.GetState() == nsMissing)
      node->Remove();
  };
  TVoFolderWalk walk;
  walk.LeaveDir = [&](const IVoNodePtr& n, IVoFolderDir& d, const std::string&) { purge(n, d); };
  walk.File = [&](const IVoNodePtr& n, IVoFolderFile& f, const std::string&) { purge(n, f); };
  WalkFolder(FRoot, FPath, walk);
}

IVoFileListPtr TVoFolder::GetFileList() const {
  auto list = std::make_shared<TVoFileList>();
  TVoFolderWalk walk;
  walk.File = [&list](const IVoNodePtr&, IVoFolderFile& f, const std::string& prefix) {
    list->Add(std::make_unique<TVoFile>(prefix + f.GetName(), f.GetCRC(), f.GetSize()));
  };
  WalkFolder(FRoot, FPath, walk);
  return list;
}

std::vector<std::string> TVoFolder::GetEmptyDirs() const {
  std::vector<std::string> dirs;
  TVoFolderWalk walk;
  walk.EnterDir = [&dirs](const IVoNodePtr& n, IVoFolderDir& d, const std::string& prefix) {
    if (!n->HasChildren())
      dirs.push_back(prefix + d.GetName() + "\\");
    return true;
  };
  WalkFolder(FRoot, FPath, walk);
  return dirs;
}
