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

bool IsPlainMask(std::string_view mask) {
  if (mask.empty())
    return false;
  for (char c : mask)
    if (static_cast<unsigned char>(c) < 32 || c == '\\' || c == '/' || c == ':')
      return false;
  return true;
}

bool IsPlainEntryName(std::string_view name) {
  static constexpr std::string_view Refused = "\\/:<>\"|?*";
  // No file system of Windows holds a longer name.
  constexpr size_t LongestName = 255;
  if (name.empty() || name.size() > LongestName || name.back() == '.' || name.back() == ' ')
    return false; // also "." and ".."
  for (char c : name)
    if (static_cast<unsigned char>(c) < 32 || Refused.find(c) != std::string_view::npos)
      return false;
  // Windows opens the device for a device name with any extension, and it
  // ignores blanks before the extension ("NUL .txt").
  std::string base = UpperCase(TrimRight(name.substr(0, name.find('.'))));
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" ||
      base == "CONOUT$")
    return false;
  // Windows takes the superscript digits of its Western code page (1252:
  // B9, B2, B3) for ports too.
  static constexpr std::string_view PortDigits = "123456789\xB9\xB2\xB3";
  bool numbered = base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT"));
  return !(numbered && PortDigits.find(base[3]) != std::string_view::npos);
}
