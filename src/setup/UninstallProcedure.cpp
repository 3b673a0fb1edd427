#include "setup/UninstallProcedure.h"

#include "base/KaFiles.h"
#include "base/KaProcess.h"
#include "base/KaStrings.h"
#include "model/VoUpdateConfig.h"
#include "setup/InstallProcedure.h"
#include "setup/ReleaseTrust.h"
#include "setup/ShellLinks.h"
#include "setup/StartUp.h"
#include "setup/UninstallEntry.h"

std::string RunUninstall(const std::string& manifestText, const std::string& installDir,
                         bool removeAll) {
  IVoUpdateConfigPtr manifest = LoadManifest(manifestText, installDir);
  const std::string appName = manifest->GetAppName();
  manifest->Remove(installDir, removeAll);
  RemoveFile(InstallRecordFileName(installDir, appName));
  RemoveFile(AcceptedReleaseFileName(installDir, appName));
  IVoShortcutsPtr shortcuts = manifest->GetShortcuts();
  for (int i = 0; i < shortcuts->GetCount(); ++i) {
    IVoShortcutPtr s = shortcuts->GetItem(i);
    const std::string group = s->GetGroup();
    DeleteShortcut(ShortcutText(s->GetName()), group.empty(), group);
    if (!group.empty())
      RemoveProgramsFolder(group);
  }
  UnregisterUninstall(appName);
  return LauncherFileName(installDir, appName);
}

std::string RemoverCommand(const std::string& removerCopy, const std::string& launcher) {
  return "\"" + removerCopy + "\" /X \"" + launcher + "\"";
}

bool StartRemover(const std::string& launcher) { return StartRemover(launcher, RunProgram); }

bool StartRemover(const std::string& launcher, const TRunProgram& run) {
  const std::string temp = GetTempFolder();
  // Without a temporary folder the copy would land in the current directory,
  // which may well be the installation itself.
  if (temp.empty())
    return false;
  const std::string copy = temp + CopyAfterLast("\\", "\\" + launcher);
  try {
    CopyFileData(launcher, copy);
  } catch (const std::exception&) {
    return false;
  }
  return run(RemoverCommand(copy, launcher));
}
