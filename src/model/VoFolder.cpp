#include "model/VoFolder.h"

#include "base/KaStrings.h"
#include "model/VoFolder_impl.h"

IVoFolderPtr CreateFolder() { return std::make_shared<TVoFolder>(); }

IVoNodePtr CreateFolderDir(const std::string& name) {
  auto dir = std::make_shared<TVoFolderDir>();
  dir->SetName(name);
  return dir;
}

IVoNodePtr CreateFolderFile(const std::string& name) {
  auto file = std::make_shared<TVoFolderFile>();
  file->SetName(name);
  return file;
}

bool TVoStrings::Add(const std::string& text) {
  if (FUnique && ContainsText(text))
    return false;
  FItems.push_back(text);
  return true;
}

bool TVoStrings::ContainsText(std::string_view text) const {
  for (const std::string& item : FItems)
    if (SameText(item, text))
      return true;
  return false;
}

bool IsPlainEntryName(std::string_view name) {
  static constexpr std::string_view Refused = "\\/:<>\"|?*";
  if (name.empty() || name.back() == '.' || name.back() == ' ')
    return false; // also "." and ".."
  for (char c : name)
    if (static_cast<unsigned char>(c) < 32 || Refused.find(c) != std::string_view::npos)
      return false;
  // Windows opens the device for a device name with any extension, and it
  // ignores blanks before the extension ("NUL .txt").
  std::string base = UpperCase(TrimRight(name.substr(0, name.find('.'))));
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL")
    return false;
  bool numbered = base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT"));
  return !(numbered && base[3] >= '1' && base[3] <= '9');
}
