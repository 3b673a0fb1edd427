#include "setup/InstallProcedure.h"

#include "base/KaFiles.h"
#include "base/KaProgramPaths.h"
#include "base/KaStreams.h"
#include "base/KaStrings.h"
#include "base/KaText.h"
#include "i18n/KaTranslator.h"
#include "model/VoUpdateConfig.h"
#include "setup/ReleaseTrust.h"
#include "setup/ShellLinks.h"
#include "setup/StartUp.h"
#include "setup/UninstallEntry.h"
#include "setup/WorkSession.h"

#include <exception>

bool PrepareInstallDir(std::string& path) {
  if (Trim(path).empty())
    return false;
  if (!EndsWithChar('\\', path))
    path += "\\";
  if (!DirectoryExists(path))
    ForceDirectories(path); // a failure shows in the check below
  return DirectoryExists(path);
}

std::string ShortcutText(const std::string& text) { return FromWide(Translate(ToWide(text))); }

std::string LauncherFileName(const std::string& installDir, const std::string& appName) {
  return installDir + appName + ".exe";
}

namespace {

std::string CurrentLanguageCode() {
  ILanguagePtr current = Translator()->GetCurrent();
  return current ? current->GetCode() : std::string();
}

void CreateShortcuts(const IVoUpdateConfig& manifest, const std::string& installDir) {
  IVoShortcutsPtr shortcuts = manifest.GetShortcuts();
  for (int i = 0; i < shortcuts->GetCount(); ++i) {
    IVoShortcutPtr s = shortcuts->GetItem(i);
    // Without an icon of its own the link shows its target's; the directory
    // alone would name no icon at all.
    std::string icon = s->GetIcon().empty() ? std::string() : installDir + s->GetIcon();
    CreateShortcut(installDir + s->GetTarget(), s->GetArguments(), ShortcutText(s->GetName()),
                   ShortcutText(s->GetDescription()), icon, s->GetGroup().empty(), s->GetGroup());
  }
}

} // namespace

std::string RunInstall(const std::string& manifestText, const IConnectionPtr& connection,
                       const std::string& installDir) {
  return RunInstall(manifestText, connection, installDir, ProgramFileName());
}

std::string RunInstall(const std::string& manifestText, const IConnectionPtr& connection,
                       const std::string& installDir, const std::string& launcherSource) {
  IVoUpdateConfigPtr manifest = LoadManifest(manifestText, installDir);
  InstallDir() = installDir;

  const std::string appName = manifest->GetAppName();
  const std::string launcher = LauncherFileName(installDir, appName);
  // An installed copy that installs into its own directory is its launcher
  // copy already; copying it over itself would fail on the running file.
  if (!SameFileName(launcherSource, launcher))
    ReplaceFileData(launcherSource, launcher);
  {
    TFileStream record(InstallRecordFileName(installDir, appName), fmCreate);
    record.WriteString(CurrentLanguageCode());
  }
  // Stopped between two files (the window was closed), the installation
  // still gets its shortcuts and its uninstall entry: the launcher copy's
  // next start, through its shortcut, fetches the rest, and the entry
  // removes what is there.
  std::exception_ptr stopped;
  try {
    manifest->Update(installDir, connection, GetFileCommand);
  } catch (const EWorkStopped&) {
    stopped = std::current_exception();
  }
  CreateShortcuts(*manifest, installDir);
  RegisterUninstall(appName, appName, installDir, appName + ".exe");
  if (stopped)
    std::rethrow_exception(stopped);
  return installDir + manifest->GetPayloadName();
}
