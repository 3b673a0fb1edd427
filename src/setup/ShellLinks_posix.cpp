#include "setup/ShellLinks.h"

#include "base/KaFiles.h"
#include "base/KaStreams.h"
#include "base/KaStrings.h"

#include <map>

// Natively a link is a text file of "name=value" lines, values escaped.

std::string GetTempFolder() { return GetTempDir(); }

struct TShellLink::TImpl {
  std::map<std::string, std::string> Fields;
};

TShellLink::TShellLink() : FImpl(std::make_unique<TImpl>()) {}
TShellLink::~TShellLink() = default;

void TShellLink::SetArguments(const std::string& value) { FImpl->Fields["Arguments"] = value; }
void TShellLink::SetPath(const std::string& value) { FImpl->Fields["Path"] = value; }
void TShellLink::SetWorkingDirectory(const std::string& value) {
  FImpl->Fields["WorkingDirectory"] = value;
}
void TShellLink::SetDescription(const std::string& value) { FImpl->Fields["Description"] = value; }
void TShellLink::SetIconLocation(const std::string& path, int index) {
  FImpl->Fields["Icon"] = path;
  FImpl->Fields["IconIndex"] = IntToStr(index);
}

bool TShellLink::Save(const std::string& fileName) {
  std::string text;
  for (const auto& [name, value] : FImpl->Fields)
    text += name + "=" + Escape(value) + "\r\n";
  try {
    TFileStream file(fileName, fmCreate);
    file.WriteString(text);
    return true;
  } catch (const Exception&) {
    return false;
  }
}

bool TShellLink::Load(const std::string& fileName) {
  TMemoryStream data;
  try {
    data.LoadFromFile(fileName);
  } catch (const Exception&) {
    return false;
  }
  FImpl->Fields.clear();
  for (std::string line : SplitLines(data.Bytes())) {
    std::string name = SplitFirst("=", line);
    FImpl->Fields[name] = Unescape(line);
  }
  return true;
}

namespace {
std::string Field(const std::map<std::string, std::string>& fields, const char* name) {
  auto it = fields.find(name);
  return it == fields.end() ? std::string() : it->second;
}
} // namespace

std::string TShellLink::GetArguments() const { return Field(FImpl->Fields, "Arguments"); }
std::string TShellLink::GetPath() const { return Field(FImpl->Fields, "Path"); }
std::string TShellLink::GetWorkingDirectory() const {
  return Field(FImpl->Fields, "WorkingDirectory");
}
std::string TShellLink::GetDescription() const { return Field(FImpl->Fields, "Description"); }
std::string TShellLink::GetIconLocation(int& index) const {
  int64_t i = 0;
  TryStrToInt64(Field(FImpl->Fields, "IconIndex"), i);
  index = static_cast<int>(i);
  return Field(FImpl->Fields, "Icon");
}
