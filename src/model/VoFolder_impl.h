#pragma once

#include "model/VoFolder.h"
#include "model/VoTree_impl.h"

struct TSearchRec;

// The entries of a tree derive from the plain node; the root of every tree is
// a plain node.
class TVoFolderNode : public TVoNode, public virtual IVoFolderNode {
public:
  int32_t GetId() const override { return TVoNode::GetId(); }
  void SetId(int32_t value) override { SetNodeId(value); }
  std::string GetName() const override { return FName; }
  void SetName(const std::string& value) override { FName = value; }
  TVoNodeState GetState() const override { return FState; }
  void SetState(TVoNodeState value) override { FState = value; }
  int32_t GetMode() const override { return FMode; }
  void SetMode(int32_t value) override { FMode = value; }

  const std::string& Name() const { return FName; }

protected:
  TVoFolderNode() = default;

private:
  std::string FName;
  TVoNodeState FState = nsNew;
  int32_t FMode = 0;
};

class TVoFolderFile : public TVoFolderNode, public IVoFolderFile {
public:
  uint32_t GetCRC() const override { return FCRC; }
  void SetCRC(uint32_t value) override { FCRC = value; }
  TDateTime GetTime() const override { return FTime; }
  void SetTime(TDateTime value) override { FTime = value; }
  int32_t GetSize() const override { return FSize; }
  void SetSize(int32_t value) override { FSize = value; }

  // What the scan's listing said of the file on disk; no stamp otherwise.
  TFileStamp DiskStamp;

private:
  uint32_t FCRC = 0;
  TDateTime FTime;
  int32_t FSize = 0;
};

class TVoFolderDir : public TVoFolderNode, public IVoFolderDir {};

class TVoFileList : public IVoFileList {
public:
  int GetCount() const override { return static_cast<int>(FItems.size()); }
  const TVoFile& GetItem(int index) const override { return *FItems.at(index); }
  void Add(std::unique_ptr<TVoFile> file) override;
  void SortByCRC() override;
  const TVoFile* FindByCRC(uint32_t crc) const override;

private:
  std::vector<std::unique_ptr<TVoFile>> FItems;
  bool FSorted = false; // lets FindByCRC search by halves
};

class TVoVerifiedFiles;

// How a scan may go beyond the plain one. Verified: the record of what
// earlier runs proved, asked before a file is read for its CRC-32 and told
// what this scan read. SkipNewFiles: new files keep crc 0 unread, for a
// caller that decides nothing by them. Hidden: a name in the top directory
// that the scan does not see (the record's own file). Temporaries: where to
// put the full path of every file found whose name is a temporary's
// ("<name>.<digits>.~ws"), whatever the masks.
struct TVoScanOptions {
  TVoVerifiedFiles* Verified = nullptr;
  bool SkipNewFiles = false;
  std::string Hidden;
  std::vector<std::string>* Temporaries = nullptr;
};

class TVoFolder : public IVoFolder {
public:
  TVoFolder();

  std::string GetPath() const override { return FPath; }
  void SetPath(const std::string& value) override;
  std::string GetText() const override;
  void SetText(const std::string& text) override;
  IVoNodePtr GetRoot() const override { return FRoot; }
  void SetRoot(const IVoNodePtr& root) override;
  TVoStrings& GetExcludes() override { return FExcludes; }
  TVoStrings& GetMasks() override { return FMasks; }
  IVoNodePtr Scan() const override;
  IVoNodePtr Scan(const TVoScanOptions& options) const;
  // The bytes of file content that the scans of this process read for
  // CRC-32 values, in all.
  static int64_t ContentBytesRead();
  void Update() override;
  void Purge() override;
  IVoFileListPtr GetFileList() const override;
  std::vector<std::string> GetEmptyDirs() const override;
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) const override;
  void LoadFromFile(const std::string& fileName) override;
  void SaveToFile(const std::string& fileName) const override;
  void SetPlainEntriesOnly(bool value) override { FPlainEntriesOnly = value; }

private:
  IVoNodePtr CopyTree() const;
  void Merge(const std::string& dir, IVoNode& node, const TVoScanOptions& options) const;
  void CheckPlain(const std::string& dir, const TSearchRec& rec) const;
  void ReadLine(const std::string& line, IVoNodePtr& current);

  std::string FPath;
  TVoStrings FExcludes{false};
  TVoStrings FMasks{true};
  IVoNodePtr FRoot;
  bool FPlainEntriesOnly = false;
};
