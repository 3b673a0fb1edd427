#pragma once

#include "base/KaExceptions.h"
#include "model/VoFileSinks.h"
#include "model/VoUpdateConfig.h"

#include <optional>
#include <vector>

class TVoShortcut : public IVoShortcut {
public:
  std::string GetName() const override { return FName; }
  void SetName(const std::string& value) override { FName = value; }
  std::string GetTarget() const override { return FTarget; }
  void SetTarget(const std::string& value) override { FTarget = value; }
  std::string GetIcon() const override { return FIcon; }
  void SetIcon(const std::string& value) override { FIcon = value; }
  std::string GetDescription() const override { return FDescription; }
  void SetDescription(const std::string& value) override { FDescription = value; }
  std::string GetArguments() const override { return FArguments; }
  void SetArguments(const std::string& value) override { FArguments = value; }
  std::string GetGroup() const override { return FGroup; }
  void SetGroup(const std::string& value) override { FGroup = value; }

private:
  std::string FName, FTarget, FIcon, FDescription, FArguments, FGroup;
};

class TVoShortcuts : public IVoShortcuts {
public:
  int GetCount() const override { return static_cast<int>(FItems.size()); }
  IVoShortcutPtr GetItem(int index) const override { return FItems.at(index); }
  std::string GetText() const override;
  void SetText(const std::string& text) override;
  IVoShortcutPtr AddShortcut() override;

private:
  std::vector<IVoShortcutPtr> FItems;
};

class TVoUpdateConfig : public IVoUpdateConfig, public IVoSealedContent {
public:
  std::string GetAppName() const override { return FAppName; }
  void SetAppName(const std::string& value) override { FAppName = value; }
  std::string GetAppDir() const override { return FAppDir; }
  void SetAppDir(const std::string& value) override { FAppDir = value; }
  std::string GetPayloadName() const override { return FPayloadName; }
  void SetPayloadName(const std::string& value) override { FPayloadName = value; }
  std::string GetText() const override;
  void SetText(const std::string& text) override;
  IVoFolderPtr GetFolder() const override { return FFolder; }
  IVoShortcutsPtr GetShortcuts() const override { return FShortcuts; }

  bool NeedsUpdate(const std::string& directory) override;
  void Update(const std::string& directory, const IConnectionPtr& connection,
              const std::string& command) override;
  void Remove(const std::string& directory, bool removeAll) override;

  void SetContentSeals(const TVoContentSeals& seals) override { FSeals = seals; }

private:
  std::string FAppName, FAppDir, FPayloadName;
  std::optional<TVoContentSeals> FSeals; // none: an unsigned release
  IVoFolderPtr FFolder = CreateFolder();
  IVoShortcutsPtr FShortcuts = std::make_shared<TVoShortcuts>();
};

// What Update does with a file entry, by its state and the low 8 bits of its
// mode; an entry without content identifier is never fetched.
enum class TVoAction { None, Fetch, Delete };
TVoAction UpdateAction(const IVoFolderFile& file);

// Inflates a zlib stream into the file through a temporary file beside it,
// so the file is replaced only by complete content, never longer than
// `limit` bytes (the listed size): a stream that would inflate further stops
// there. Raises EInflate, with the file as it was and no temporary file left,
// when anything fails.
// With a seal, the content passes its check on the way and anything that
// keeps it from being the sealed content (a broken stream, one that inflates
// beyond the limit, other bytes) raises EReleaseSeal instead, with the file as
// it was and no temporary file left.
void InflateToFile(const std::string& data, const std::string& fileName, uint32_t limit,
                   const TVoContentSeal* seal = nullptr);

// The most bytes an "admin:getFile" answer may take for a file of the listed
// size: its zlib stream at worst (stored blocks) and the answer's header.
int64_t FileAnswerLimit(uint32_t listedSize);
