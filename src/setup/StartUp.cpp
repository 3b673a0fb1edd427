#include "setup/StartUp.h"

#include "base/KaExceptions.h"
#include "base/KaFiles.h"
#include "base/KaProcess.h"
#include "base/KaProgramPaths.h"
#include "base/KaStreams.h"
#include "base/KaStrings.h"

const char* StartModeName(TStartMode mode) {
  switch (mode) {
  case TStartMode::smSetup: return "smSetup";
  case TStartMode::smUpdate: return "smUpdate";
  case TStartMode::smUninstall: return "smUninstall";
  case TStartMode::smError: return "smError";
  case TStartMode::smLaunch: return "smLaunch";
  }
  return "";
}

std::string& InstallDir() {
  static std::string value;
  return value;
}

std::string& RememberedLanguage() {
  static std::string value;
  return value;
}

bool IsRemoverCall(const std::vector<std::string>& args) {
  return args.size() == 2 && args[0] == "/X";
}

void RunRemover(const std::string& argument) {
  std::string target = Trim(argument);
  std::string targetDir = LastPos("\\", target) ? CopyBeforeLast("\\", target) : target;
  // Our own current directory must not keep the directory to be removed busy.
  SetCurrentDir(ExeDir());
  if (target.empty() || targetDir.empty())
    return;
  if (FileExists(target)) {
    // The ending uninstaller may still hold its own file for a while.
    for (int pauses = 0; !RemoveFile(target) && pauses < 100; ++pauses)
      Pause(100);
  }
  if (DirectoryExists(targetDir))
    RemoveDir(targetDir);
}

std::string InstallRecordFileName(const std::string& installDir, const std::string& appName) {
  return installDir + appName + InstallRecordExt;
}

std::string InstallRecordPath() { return InstallRecordFileName(ExeDir(), ExeBaseName()); }

bool ReadInstallRecord() {
  std::string path = InstallRecordPath();
  if (!FileExists(path))
    return false;
  // The record's presence makes this copy the installed one; an unreadable
  // record only loses the remembered language.
  InstallDir() = ExeDir();
  try {
    TFileStream file(path, fmOpenRead | fmShareDenyNone);
    RememberedLanguage() = file.ReadRest();
  } catch (const Exception&) {
    RememberedLanguage().clear();
  }
  return true;
}

TStartChoice ChooseStart(const std::vector<std::string>& args, const std::string& installDir) {
  if (installDir.empty())
    return TStartChoice::scSetup;
  if (!args.empty() && args[0] == "/remove")
    return TStartChoice::scUninstall;
  if (!args.empty() && args[0] == "/force-setup")
    return TStartChoice::scSetup;
  return TStartChoice::scLauncherCheck;
}
