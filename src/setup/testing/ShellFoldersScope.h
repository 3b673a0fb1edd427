#pragma once

// Test support of the setup procedures: the user's shell folders moved into a
// scratch directory, so tests make and remove real shortcuts without touching
// the desktop of the machine (under Wine the registry is the real one of the
// test prefix, and its desktop is the host user's home).

#include "base/KaFiles.h"
#include "base/KaRegistry.h"
#include "setup/ShellLinks.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

// Points the current user's "Desktop" and "Programs" at folders below root for
// the life of the object, and puts the old values back. Both keys: the shell
// rewrites "Shell Folders" from "User Shell Folders" whenever it looks a
// folder up (Wine does so while saving a link).
class TShellFoldersScope {
public:
  explicit TShellFoldersScope(const std::string& root)
      : Desktop(root + "Desktop"), Programs(root + "Start Menu\\Programs") {
    ForceDirectories(Desktop);
    ForceDirectories(Programs);
    for (int key = 0; key < 2; ++key)
      for (int name = 0; name < 2; ++name) {
        FSaved[key][name] = Read(Keys[key], Names[name]);
        Write(Keys[key], Names[name], name == 0 ? Desktop : Programs);
      }
  }
  ~TShellFoldersScope() {
    for (int key = 0; key < 2; ++key)
      for (int name = 0; name < 2; ++name)
        Write(Keys[key], Names[name], FSaved[key][name]);
  }
  TShellFoldersScope(const TShellFoldersScope&) = delete;
  TShellFoldersScope& operator=(const TShellFoldersScope&) = delete;

  static std::optional<std::string> Read(const char* key, const char* name) {
    TRegistry registry(TRootKey::rkCurrentUser);
    if (!registry.OpenKeyReadOnly(key) || !registry.ValueExists(name))
      return std::nullopt;
    return registry.ReadString(name);
  }
  static void Write(const char* key, const char* name, const std::optional<std::string>& value) {
    TRegistry registry(TRootKey::rkCurrentUser);
    ASSERT_TRUE(registry.OpenKey(key, true));
    if (!value)
      registry.DeleteValue(name);
    else if (key == UserShellFolders)
      registry.WriteExpandString(name, *value);
    else
      registry.WriteString(name, *value);
  }

  static constexpr const char* UserShellFolders =
      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  static constexpr const char* Keys[2] = {ShellFoldersKey, UserShellFolders};
  static constexpr const char* Names[2] = {"Desktop", "Programs"};

  const std::string Desktop; // without "\", as the system writes them
  const std::string Programs;

private:
  std::optional<std::string> FSaved[2][2];
};
