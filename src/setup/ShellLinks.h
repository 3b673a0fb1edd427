#pragma once

#include "base/KaExceptions.h"

#include <memory>
#include <string>

// The application's shortcut files (".lnk") on the user's desktop and in the
// Start menu's Programs folder, and the user's folders they go into.

KA_DECLARE_EXCEPTION(EShellLink, Exception);

// The current user's key of folder paths; its values "Desktop" and "Programs"
// name the two folders shortcuts go into.
inline constexpr const char* ShellFoldersKey =
    "Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The string value of that name in the Shell Folders key; empty when the key
// or the value is missing.
std::string GetShellFolder(const std::string& valueName);
// Both end in "\". A folder the key does not name becomes "\" alone: the root
// of the current drive.
std::string GetDesktopFolder();
std::string GetProgramsFolder();
// The system's temporary directory, ending in "\" unless it is empty (a
// temporary path longer than 259 characters is not taken).
std::string GetTempFolder();

// The file a shortcut is saved as or deleted from: on the desktop, else in
// the group's sub-folder of Programs when there is a group, else in Programs.
std::string ShortcutFileName(const std::string& linkName, bool onDesktop, const std::string& group);

// Creates the shortcut file. The link name (already translated) is the file
// name without ".lnk", used as it is: a name the file system refuses makes the
// save fail without a word. The working directory is target's directory part.
// The group's folders are made as needed; an existing shortcut of the name is
// replaced. Raises EShellLink when the Shell Link object cannot be created;
// everything else fails silently.
void CreateShortcut(const std::string& target, const std::string& arguments,
                    const std::string& linkName, const std::string& description,
                    const std::string& icon, bool onDesktop, const std::string& group);
// Deletes the shortcut file if it is there; a failure is ignored.
void DeleteShortcut(const std::string& linkName, bool onDesktop, const std::string& group);
// Removes the group's sub-folder of Programs if it is empty (only the
// innermost level of a group "a\b").
void RemoveProgramsFolder(const std::string& group);

// The Shell Link object (CLSID {00021401-0000-0000-C000-000000000046}) through
// IShellLinkA and IPersistFile. It initialises COM on the calling thread for
// its own life if the thread has not. Natively, where there is no shell, the
// "link" is a small text file of the same fields, so the code that makes and
// removes shortcuts runs and is tested unchanged.
class TShellLink {
public:
  // Raises EShellLink when the object cannot be created.
  TShellLink();
  ~TShellLink();
  TShellLink(const TShellLink&) = delete;
  TShellLink& operator=(const TShellLink&) = delete;

  // The object's own results are not reported.
  void SetArguments(const std::string& value);
  void SetPath(const std::string& value);
  void SetWorkingDirectory(const std::string& value);
  void SetDescription(const std::string& value);
  void SetIconLocation(const std::string& path, int index);
  // Replaces a file of that name; the object does not adopt the file as its
  // current one. False when the save failed.
  bool Save(const std::string& fileName);

  // Reading a saved link back, for checking what an installation made.
  bool Load(const std::string& fileName);
  std::string GetArguments() const;
  std::string GetPath() const;
  std::string GetWorkingDirectory() const;
  std::string GetDescription() const;
  std::string GetIconLocation(int& index) const;

  struct TImpl;

private:
  std::unique_ptr<TImpl> FImpl;
};
