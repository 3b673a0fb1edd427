#pragma once

#include <string>
#include <vector>

// The role of this run of the program, and the first page it selects.
enum class TStartMode { smSetup, smUpdate, smUninstall, smError, smLaunch };

const char* StartModeName(TStartMode mode);

// Extension of the installation record beside the launcher copy.
inline constexpr const char* InstallRecordExt = ".lng";

// Filled at start-up: the installation directory (with "\") when the record
// was found, and the language code it holds.
std::string& InstallDir();
std::string& RememberedLanguage();

// "/X" and a path, exactly two arguments: the remover role.
bool IsRemoverCall(const std::vector<std::string>& args);

// The remover: deletes the launcher copy named by the argument, waiting for the
// ending uninstaller to let go of it, then its directory if that is empty.
void RunRemover(const std::string& argument);

// The installation record's path for the running program.
std::string InstallRecordPath();
// The installation record of the application appName in installDir.
std::string InstallRecordFileName(const std::string& installDir, const std::string& appName);

// Reads the installation record; sets InstallDir and RememberedLanguage when
// it is there.
bool ReadInstallRecord();

enum class TStartChoice { scSetup, scUninstall, scLauncherCheck };

// The choice of role once the record has been looked for.
TStartChoice ChooseStart(const std::vector<std::string>& args, const std::string& installDir);
