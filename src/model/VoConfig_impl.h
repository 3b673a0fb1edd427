#pragma once

#include "model/VoConfig.h"

class TVoConfigSection : public IVoConfigSection {
public:
  explicit TVoConfigSection(std::string name) : FName(std::move(name)) {}

  std::string GetName() const override { return FName; }
  std::vector<std::string>& GetLines() override { return FLines; }
  std::string ReadValue(const std::string& key) const override;
  void WriteValue(const std::string& key, const std::string& value) override;
  void AddLine(const std::string& line) override { FLines.push_back(line); }

  // The index of the first value line with this key, or -1.
  int IndexOfKey(const std::string& key) const;

private:
  std::string FName;
  std::vector<std::string> FLines;
};

class TVoConfig : public IVoConfig {
public:
  int GetSectionCount() const override { return static_cast<int>(FSections.size()); }
  IVoConfigSectionPtr GetSection(int index) const override;
  IVoConfigSectionPtr FindSection(const std::string& name) const override;
  IVoConfigSectionPtr AddSection(const std::string& name) override;
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) const override;
  void LoadFromFile(const std::string& fileName) override;
  void SaveToFile(const std::string& fileName) const override;
  std::string GetText() const override;
  void SetText(const std::string& text) override;

private:
  std::vector<IVoConfigSectionPtr> FSections;
};
