#pragma once

#include "model/VoFolder.h"
#include "model/VoReleaseSeal.h"
#include "net/KaConnectionIntf.h"

#include <memory>
#include <string>

// The update manifest: the product's names, the file tree with a content
// identifier and update mode per file, and the shortcuts; with the operations
// that bring a directory in line with it.

class IVoShortcut {
public:
  virtual ~IVoShortcut() = default;
  // The link's file name without ".lnk"; may hold translation markers.
  virtual std::string GetName() const = 0;
  virtual void SetName(const std::string& value) = 0;
  // Relative to the installation directory.
  virtual std::string GetTarget() const = 0;
  virtual void SetTarget(const std::string& value) = 0;
  virtual std::string GetIcon() const = 0;
  virtual void SetIcon(const std::string& value) = 0;
  virtual std::string GetDescription() const = 0;
  virtual void SetDescription(const std::string& value) = 0;
  virtual std::string GetArguments() const = 0;
  virtual void SetArguments(const std::string& value) = 0;
  // The programs menu folder of the link; empty puts it on the desktop.
  virtual std::string GetGroup() const = 0;
  virtual void SetGroup(const std::string& value) = 0;
};

using IVoShortcutPtr = std::shared_ptr<IVoShortcut>;

class IVoShortcuts {
public:
  virtual ~IVoShortcuts() = default;
  virtual int GetCount() const = 0;
  virtual IVoShortcutPtr GetItem(int index) const = 0;
  // One "|" line per shortcut: name, target, icon, description, group and
  // arguments, escaped and separated by ",".
  virtual std::string GetText() const = 0;
  // Appends the shortcuts of the text; the list is not cleared first.
  virtual void SetText(const std::string& text) = 0;
  virtual IVoShortcutPtr AddShortcut() = 0;
};

using IVoShortcutsPtr = std::shared_ptr<IVoShortcuts>;

class IVoUpdateConfig {
public:
  virtual ~IVoUpdateConfig() = default;
  virtual std::string GetAppName() const = 0;
  virtual void SetAppName(const std::string& value) = 0;
  virtual std::string GetAppDir() const = 0;
  virtual void SetAppDir(const std::string& value) = 0;
  virtual std::string GetPayloadName() const = 0;
  virtual void SetPayloadName(const std::string& value) = 0;
  virtual std::string GetText() const = 0;
  // Raises EConvertError for a bad number in the file list, keeping what
  // was read up to there.
  virtual void SetText(const std::string& text) = 0;
  virtual IVoFolderPtr GetFolder() const = 0;
  virtual IVoShortcutsPtr GetShortcuts() const = 0;

  // Whether anything of the directory needs fetching.
  virtual bool NeedsUpdate(const std::string& directory) = 0;
  // Fetches what is missing or changed (one call of `command` per file) and
  // deletes what the list marks for deletion. A failed call ends the update
  // there; a file whose content does not arrive whole keeps its old content.
  virtual void Update(const std::string& directory, const IConnectionPtr& connection,
                      const std::string& command) = 0;
  // Deletes the listed files (all files with `removeAll`, also those kept)
  // and the directories that become empty; not the directory itself.
  virtual void Remove(const std::string& directory, bool removeAll) = 0;
};

using IVoUpdateConfigPtr = std::shared_ptr<IVoUpdateConfig>;

IVoUpdateConfigPtr CreateUpdateConfig();

// The manifest of a verified signed release (asked for with
// std::dynamic_pointer_cast): once it holds the release's content seals,
// Update takes a fetched file only when its inflated content has the sealed
// size and SHA-256 (model/VoReleaseSeal.h), inflating no more than that size.
// A file without a seal, listed with another size than its seal's, or whose
// content does not match, ends the update with EReleaseSeal; the old file
// stays and no temporary file is left.
class IVoSealedContent {
public:
  virtual ~IVoSealedContent() = default;
  virtual void SetContentSeals(const TVoContentSeals& seals) = 0;
};
