#include "model/VoConfig_impl.h"

#include "base/KaStrings.h"

#include <unordered_map>

namespace {

// The key of a value line, or false for a raw line and for an empty line,
// which loading never produces and which therefore hold no key.
bool LineKey(const std::string& line, std::string_view& key) {
  if (line.empty() || line[0] == '|')
    return false;
  key = std::string_view(line).substr(0, line.find('='));
  return true;
}

} // namespace

int TVoConfigSection::IndexOfKey(const std::string& key) const {
  std::string_view k;
  for (size_t i = 0; i < FLines.size(); ++i)
    if (LineKey(FLines[i], k) && k == key)
      return static_cast<int>(i);
  return -1;
}

std::string TVoConfigSection::ReadValue(const std::string& key) const {
  int i = IndexOfKey(key);
  return i < 0 ? std::string() : CopyAfterFirst("=", FLines[i]);
}

void TVoConfigSection::WriteValue(const std::string& key, const std::string& value) {
  int i = IndexOfKey(key);
  if (i < 0)
    FLines.push_back(key + "=" + value);
  else
    FLines[i] = key + "=" + value;
}

IVoConfigSectionPtr TVoConfig::GetSection(int index) const {
  if (index < 0 || index >= GetSectionCount())
    return nullptr;
  return FSections[index];
}

IVoConfigSectionPtr TVoConfig::FindSection(const std::string& name) const {
  for (const IVoConfigSectionPtr& s : FSections)
    if (s->GetName() == name)
      return s;
  return nullptr;
}

IVoConfigSectionPtr TVoConfig::AddSection(const std::string& name) {
  FSections.push_back(std::make_shared<TVoConfigSection>(name));
  return FSections.back();
}

void TVoConfig::SetText(const std::string& text) {
  std::string_view t(text);
  t = t.substr(0, t.find('\0'));
  std::vector<IVoConfigSectionPtr> sections;
  auto current = std::make_shared<TVoConfigSection>(std::string());
  sections.push_back(current);
  // Where each key of the current section stands, so that a section of many
  // value lines loads in linear time; the result is that of WriteValue.
  std::unordered_map<std::string, size_t> keys;
  for (const std::string& raw : SplitLines(t)) {
    std::string line = Trim(raw);
    if (line.empty())
      continue;
    switch (line[0]) {
    case '[': {
      std::string_view rest = std::string_view(line).substr(1);
      current = std::make_shared<TVoConfigSection>(Trim(rest.substr(0, rest.rfind(']'))));
      sections.push_back(current);
      keys.clear();
      break;
    }
    case '#': break;
    case '|': current->AddLine(line); break;
    default: {
      std::string key = Trim(CopyBeforeFirst("=", line));
      std::string pair = key + "=" + Trim(CopyAfterFirst("=", line));
      std::vector<std::string>& lines = current->GetLines();
      auto [at, added] = keys.emplace(std::move(key), lines.size());
      if (added)
        lines.push_back(std::move(pair));
      else
        lines[at->second] = std::move(pair);
    }
    }
  }
  FSections = std::move(sections);
}

std::string TVoConfig::GetText() const {
  std::string out;
  for (const IVoConfigSectionPtr& s : FSections) {
    const std::vector<std::string>& lines = s->GetLines();
    if (lines.empty())
      continue;
    out += "[" + s->GetName() + "]\r\n";
    for (const std::string& line : lines) {
      out += line;
      out += "\r\n";
    }
    out += "\r\n";
  }
  return out;
}

void TVoConfig::LoadFromStream(TStream& stream) { SetText(stream.ReadRest()); }

void TVoConfig::SaveToStream(TStream& stream) const { stream.WriteString(GetText()); }

void TVoConfig::LoadFromFile(const std::string& fileName) {
  TMemoryStream m;
  m.LoadFromFile(fileName);
  SetText(m.Bytes());
}

void TVoConfig::SaveToFile(const std::string& fileName) const {
  TFileStream file(fileName, fmCreate);
  SaveToStream(file);
}
