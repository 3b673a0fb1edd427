#pragma once

#include <string>

// The entry through which Windows lists the application among the installed
// programs and starts its uninstaller: a key under HKEY_LOCAL_MACHINE, named
// after the application, whose command starts the launcher copy with "/remove".

// Where the entries live; the key name follows.
inline constexpr const char* UninstallKeyRoot =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// The uninstall command of an installation: the program's path quoted, then
// " /remove", so a directory with blanks still makes "/remove" the first
// argument.
std::string UninstallCommand(const std::string& installLocation, const std::string& programFile);

// Creates the entry with "DisplayName", "Publisher" ("Brellik"),
// "InstallLocation" (unchanged, with its "\") and "UninstallString". True when
// no entry existed and one was to be made (also when the key could not be
// created, for want of rights say, and nothing was written); false when the
// entry existed already, which is then left exactly as it was. Reports
// nothing else: a value that cannot be written is skipped.
bool RegisterUninstall(const std::string& keyName, const std::string& displayName,
                       const std::string& installLocation, const std::string& programFile);

// Deletes the entry: the deletion's result, false when there was none.
bool UnregisterUninstall(const std::string& keyName);
