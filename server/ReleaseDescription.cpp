#include "server/ReleaseDescription.h"

#include "base/KaStrings.h"
#include "model/VoConfig.h"
#include "model/VoFolder.h"

#include <algorithm>

namespace {

// The raw lines of a section without their "|"; absent sections give none.
std::vector<std::string> RawLines(const IVoConfig& config, const std::string& name) {
  std::vector<std::string> out;
  if (IVoConfigSectionPtr section = config.FindSection(name))
    for (const std::string& line : section->GetLines())
      if (line.size() > 1 && line[0] == '|')
        out.push_back(line.substr(1));
  return out;
}

int32_t ParseMode(const std::string& pattern, const std::string& text) {
  static const std::pair<const char*, int32_t> names[] = {
      {"replace", umReplace}, {"createOnly", umCreateOnly}, {"delete", umDelete}, {"keep", umKeep}};
  for (auto [name, mode] : names)
    if (SameText(text, name) || text == std::to_string(mode))
      return mode;
  throw EPublish("Unknown mode \"" + text + "\" for \"" + pattern +
                 "\" (replace, createOnly, delete or keep)");
}

std::string Required(const IVoConfigSectionPtr& section, const std::string& key) {
  std::string value = section ? section->ReadValue(key) : std::string();
  if (value.empty())
    throw EPublish("The release description has no " + key + " in [installer]");
  return value;
}

std::string Backslashed(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

} // namespace

std::vector<std::string> SplitRelativePath(const std::string& path) {
  std::vector<std::string> parts;
  std::string rest = Backslashed(path);
  while (!rest.empty() || parts.empty()) {
    std::string part = SplitFirst("\\", rest);
    if (!IsPlainEntryName(part))
      throw EPublish("\"" + path + "\" is no path a client could write: \"" + part + "\"");
    // The manifest is read in the client's code page, which is not ours.
    if (std::any_of(part.begin(), part.end(), [](char c) { return c & 0x80; }))
      throw EPublish("\"" + path + "\" is not plain ASCII, so clients would get another name");
    parts.push_back(part);
  }
  return parts;
}

int32_t TReleaseDescription::ModeFor(const std::string& relativePath) const {
  std::string name = CopyAfterLast("\\", relativePath);
  if (name.empty())
    name = relativePath;
  for (const auto& [pattern, mode] : Modes) {
    bool byPath = pattern.find('\\') != std::string::npos;
    if (MatchesMask(byPath ? relativePath : name, pattern))
      return mode;
  }
  return umReplace;
}

TReleaseDescription ParseReleaseDescription(const std::string& text) {
  IVoConfigPtr config = CreateConfig();
  config->SetText(text);
  TReleaseDescription d;
  IVoConfigSectionPtr installer = config->FindSection("installer");
  d.DisplayName = Required(installer, "displayName");
  d.AppName = Required(installer, "appName");
  d.AppDir = Required(installer, "appDir");
  d.PayloadName = Backslashed(Required(installer, "payloadName"));
  if (!IsPlainEntryName(d.AppName + ".exe"))
    throw EPublish("appName \"" + d.AppName + "\" cannot name the launcher copy");
  SplitRelativePath(d.PayloadName);

  d.Masks =
      config->FindSection("masks") ? RawLines(*config, "masks") : std::vector<std::string>{"*"};
  if (d.Masks.empty())
    throw EPublish("[masks] lists no mask, so nothing would be published");
  // The installer searches every directory with each mask as it stands, so a
  // path in a mask would find another directory's files.
  for (const std::string& mask : d.Masks)
    if (!IsPlainMask(mask))
      throw EPublish("[masks] \"" + mask + "\" is not a file mask of one directory");
  d.Excludes = RawLines(*config, "excludes");
  for (const std::string& line : RawLines(*config, "delete")) {
    SplitRelativePath(line);
    d.Deletes.push_back(Backslashed(line));
  }
  if (IVoConfigSectionPtr modes = config->FindSection("modes"))
    for (const std::string& line : modes->GetLines()) {
      if (line.empty() || line[0] == '|')
        continue;
      std::string pattern = Backslashed(CopyBeforeFirst("=", line));
      d.Modes.emplace_back(pattern, ParseMode(pattern, CopyAfterFirst("=", line)));
    }
  if (IVoConfigSectionPtr shortcuts = config->FindSection("shortcuts"))
    for (const std::string& line : shortcuts->GetLines())
      d.ShortcutsText += line + "\r\n";
  return d;
}
