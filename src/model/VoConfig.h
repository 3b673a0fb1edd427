#pragma once

#include "base/KaStreams.h"

#include <memory>
#include <string>
#include <vector>

// An in-memory store of named sections of text lines with an INI-like text
// form: value lines "key=value" and raw lines that begin with "|".

class IVoConfigSection {
public:
  virtual ~IVoConfigSection() = default;
  virtual std::string GetName() const = 0;
  // The section's own lines, not a copy.
  virtual std::vector<std::string>& GetLines() = 0;
  // The value of the first value line with exactly this key; empty if none.
  virtual std::string ReadValue(const std::string& key) const = 0;
  // Replaces the first value line with this key, or appends one.
  virtual void WriteValue(const std::string& key, const std::string& value) = 0;
  virtual void AddLine(const std::string& line) = 0;
};

using IVoConfigSectionPtr = std::shared_ptr<IVoConfigSection>;

class IVoConfig {
public:
  virtual ~IVoConfig() = default;
  virtual int GetSectionCount() const = 0;
  virtual IVoConfigSectionPtr GetSection(int index) const = 0;
  // The first section with exactly this name, or none.
  virtual IVoConfigSectionPtr FindSection(const std::string& name) const = 0;
  // Always a new section, appended, even when one of that name exists.
  virtual IVoConfigSectionPtr AddSection(const std::string& name) = 0;
  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) const = 0;
  virtual void LoadFromFile(const std::string& fileName) = 0;
  virtual void SaveToFile(const std::string& fileName) const = 0;
  virtual std::string GetText() const = 0;
  virtual void SetText(const std::string& text) = 0;
};

using IVoConfigPtr = std::shared_ptr<IVoConfig>;

IVoConfigPtr CreateConfig();
