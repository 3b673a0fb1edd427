#include "setup/ShellLinks.h"

#include "base/KaFiles.h"
#include "base/KaRegistry.h"
#include "base/KaStrings.h"

std::string GetShellFolder(const std::string& valueName) {
  TRegistry registry(TRootKey::rkCurrentUser);
  if (!registry.OpenKeyReadOnly(ShellFoldersKey))
    return std::string();
  try {
    return registry.ReadString(valueName);
  } catch (const ERegistryException&) {
    return std::string();
  }
}

namespace {

// Unlike AddBackslash, an empty folder becomes "\" too.
std::string WithBackslash(const std::string& folder) {
  return EndsWithChar('\\', folder) ? folder : folder + "\\";
}

} // namespace

std::string GetDesktopFolder() { return WithBackslash(GetShellFolder("Desktop")); }
std::string GetProgramsFolder() { return WithBackslash(GetShellFolder("Programs")); }

std::string ShortcutFileName(const std::string& linkName, bool onDesktop,
                             const std::string& group) {
  const std::string file = linkName + ".lnk";
  if (onDesktop)
    return GetDesktopFolder() + file;
  if (!group.empty())
    return GetProgramsFolder() + group + "\\" + file;
  return GetProgramsFolder() + file;
}

void CreateShortcut(const std::string& target, const std::string& arguments,
                    const std::string& linkName, const std::string& description,
                    const std::string& icon, bool onDesktop, const std::string& group) {
  TShellLink link;
  const std::string workingDir =
      LastPos("\\", target) ? target.substr(0, static_cast<size_t>(LastPos("\\", target))) : "";
  link.SetArguments(arguments);
  link.SetPath(target);
  link.SetWorkingDirectory(workingDir);
  link.SetDescription(description);
  if (!icon.empty())
    link.SetIconLocation(icon, 0);
  if (!onDesktop && !group.empty())
    ForceDirectories(GetProgramsFolder() + group + "\\");
  link.Save(ShortcutFileName(linkName, onDesktop, group));
}

void DeleteShortcut(const std::string& linkName, bool onDesktop, const std::string& group) {
  const std::string file = ShortcutFileName(linkName, onDesktop, group);
  if (FileExists(file))
    RemoveFile(file);
}

void RemoveProgramsFolder(const std::string& group) {
  // Without a group the folder would be Programs itself.
  if (group.empty())
    return;
  const std::string dir = GetProgramsFolder() + group;
  if (DirectoryExists(dir))
    RemoveDir(dir);
}
