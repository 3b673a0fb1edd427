#pragma once

#include "base/KaDateTime.h"
#include "base/KaStreams.h"
#include "model/VoTree.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The file tree of an installation: directories and files with what it takes
// to decide whether to fetch, keep or delete each of them, its line-oriented
// text form (the file list), and the scan that lays the tree over a directory.

// A scan that met an entry it must not take (see SetPlainEntriesOnly).
KA_DECLARE_EXCEPTION(EVoFolder, Exception);

// What the last load or scan found for an entry.
enum TVoNodeState : uint8_t {
  nsNew = 0,     // on disk, not in the tree before the scan
  nsSame = 1,    // in the tree and on disk, unchanged; every entry read from text
  nsChanged = 2, // in the tree and on disk, different
  nsMissing = 3, // in the tree, not on disk
};

// Update modes of an entry; only their low 8 bits count.
enum : int32_t {
  umReplace = 0,
  umCreateOnly = 1,
  umDelete = 2,
  umKeep = 4,
};

class IVoFolderNode {
public:
  virtual ~IVoFolderNode() = default;
  // The content identifier: the server's number for the content, 0 for none.
  virtual int32_t GetId() const = 0;
  virtual void SetId(int32_t value) = 0;
  virtual std::string GetName() const = 0;
  virtual void SetName(const std::string& value) = 0;
  virtual TVoNodeState GetState() const = 0;
  virtual void SetState(TVoNodeState value) = 0;
  virtual int32_t GetMode() const = 0;
  virtual void SetMode(int32_t value) = 0;
};

class IVoFolderFile : public virtual IVoFolderNode {
public:
  virtual uint32_t GetCRC() const = 0;
  virtual void SetCRC(uint32_t value) = 0;
  // Local wall-clock time as the directory search reports it; 0 for none.
  virtual TDateTime GetTime() const = 0;
  virtual void SetTime(TDateTime value) = 0;
  virtual int32_t GetSize() const = 0;
  virtual void SetSize(int32_t value) = 0;
};

class IVoFolderDir : public virtual IVoFolderNode {};

// One file of a file list.
class TVoFile {
public:
  TVoFile(std::string path, uint32_t crc, int32_t size)
      : Path(std::move(path)), CRC(crc), Size(size) {}

  std::string Path;
  uint32_t CRC;
  int32_t Size;
};

class IVoFileList {
public:
  virtual ~IVoFileList() = default;
  virtual int GetCount() const = 0;
  virtual const TVoFile& GetItem(int index) const = 0;
  virtual void Add(std::unique_ptr<TVoFile> file) = 0;
  // Ascending by crc taken as a signed 32-bit value; equal ones keep their order.
  virtual void SortByCRC() = 0;
  // The first file in list order with this crc, or none.
  virtual const TVoFile* FindByCRC(uint32_t crc) const = 0;
};

using IVoFileListPtr = std::shared_ptr<IVoFileList>;

// The mask and exclude lists. The mask list takes a text only once, whatever
// its letter case.
class TVoStrings {
public:
  explicit TVoStrings(bool unique) : FUnique(unique) {}

  // False when the text was already there and the list takes no duplicates.
  bool Add(const std::string& text);
  void Delete(int index) { FItems.erase(FItems.begin() + index); }
  void Clear() { FItems.clear(); }
  int GetCount() const { return static_cast<int>(FItems.size()); }
  const std::string& operator[](int index) const { return FItems[index]; }
  bool ContainsText(std::string_view text) const;
  std::vector<std::string>::const_iterator begin() const { return FItems.begin(); }
  std::vector<std::string>::const_iterator end() const { return FItems.end(); }

private:
  std::vector<std::string> FItems;
  bool FUnique;
};

class IVoFolder {
public:
  virtual ~IVoFolder() = default;
  virtual std::string GetPath() const = 0;
  // Keeps the path with a trailing "\" (an empty path stays empty).
  virtual void SetPath(const std::string& value) = 0;
  virtual std::string GetText() const = 0;
  // Replaces path, masks, excludes and tree. Raises EConvertError for a bad
  // number or time stamp, keeping the entries read up to that line.
  virtual void SetText(const std::string& text) = 0;
  virtual IVoNodePtr GetRoot() const = 0;
  virtual void SetRoot(const IVoNodePtr& root) = 0;
  virtual TVoStrings& GetExcludes() = 0;
  virtual TVoStrings& GetMasks() = 0;
  // The tree laid over the directory at the path, with a state for every
  // entry; the folder's own tree stays as it is.
  virtual IVoNodePtr Scan() const = 0;
  // The folder's tree becomes the result of Scan.
  virtual void Update() = 0;
  // Takes every missing entry out of the folder's tree.
  virtual void Purge() = 0;
  virtual IVoFileListPtr GetFileList() const = 0;
  // The full path, with trailing "\", of every directory entry without children.
  virtual std::vector<std::string> GetEmptyDirs() const = 0;
  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) const = 0;
  virtual void LoadFromFile(const std::string& fileName) = 0;
  virtual void SaveToFile(const std::string& fileName) const = 0;
  // For a folder that is published rather than installed: when set, Scan
  // raises EVoFolder, naming the entry's path in the folder, for an entry it
  // would take that is a symbolic link (it may lead out of the folder, or
  // round in a loop) or neither file nor directory (reading a FIFO waits for
  // a writer for good). Unset, the default and the installer's way, every
  // entry is taken as the platform's search reports it.
  virtual void SetPlainEntriesOnly(bool value) = 0;
};

using IVoFolderPtr = std::shared_ptr<IVoFolder>;

IVoFolderPtr CreateFolder();

// New entries of a tree, in state nsNew, with no id, mode or parent yet.
IVoNodePtr CreateFolderDir(const std::string& name);
IVoNodePtr CreateFolderFile(const std::string& name);

// A walk over the entries of a tree, depth first in child order, with the
// path of the directory each entry sits in (`prefix`, with trailing "\").
// Nodes that are neither file nor directory entries are skipped with their
// subtrees. A callback may take the node it is given out of the tree.
struct TVoFolderWalk {
  // False leaves the directory's subtree (and its LeaveDir) out.
  std::function<bool(const IVoNodePtr&, IVoFolderDir&, const std::string& prefix)> EnterDir;
  std::function<void(const IVoNodePtr&, IVoFolderDir&, const std::string& prefix)> LeaveDir;
  std::function<void(const IVoNodePtr&, IVoFolderFile&, const std::string& prefix)> File;
};

void WalkFolder(const IVoNodePtr& root, const std::string& path, const TVoFolderWalk& walk);

// True for one plain file or directory name that stays inside the directory
// it is joined to on every platform: not empty, at most 255 characters, not
// "." or "..", no path separator, drive colon (so no stream either), control
// character or wildcard, no trailing dot or blank, and no device name (CON,
// PRN, AUX, NUL, CONIN$, CONOUT$, COM1-9, LPT1-9 and COM/LPT with a
// superscript digit, also with an extension).
bool IsPlainEntryName(std::string_view name);

// True for a file mask that searches only the directory it is joined to: not
// empty, no path separator, drive colon or control character. Any other mask
// would list another directory (or, cut at a NUL, a shorter path) and hand its
// entries to the scan as this directory's.
bool IsPlainMask(std::string_view mask);
