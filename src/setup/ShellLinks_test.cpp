#include "setup/ShellLinks.h"

#include "base/KaFiles.h"
#include "base/KaRegistry.h"
#include "model/VoTesting.h"

#include <gtest/gtest.h>

#include <optional>

// Natively a link is the text stand-in; under Wine these tests run against the
// real Shell Link object and the real registry of the test prefix, reading
// every link back through IShellLinkA.

namespace {

// Points the current user's "Desktop" and "Programs" at folders of a scratch
// directory for the life of the object, and puts the old values back. Both
// keys: the shell rewrites "Shell Folders" from "User Shell Folders" whenever
// it looks a folder up (Wine does so while saving a link).
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

  const std::string Desktop; // without "\\", as the system writes them
  const std::string Programs;

private:
  std::optional<std::string> FSaved[2][2];
};

struct TReadBack {
  std::string Path, Arguments, WorkingDirectory, Description, Icon;
  int IconIndex = -1;
};

TReadBack ReadLink(const std::string& fileName) {
  TShellLink link;
  TReadBack r;
  EXPECT_TRUE(link.Load(fileName)) << fileName;
  r.Path = link.GetPath();
  r.Arguments = link.GetArguments();
  r.WorkingDirectory = link.GetWorkingDirectory();
  r.Description = link.GetDescription();
  r.Icon = link.GetIconLocation(r.IconIndex);
  return r;
}

class ShellLinks : public testing::Test {
protected:
  ShellLinks() {
    Dir.Write("App Dir\\app.exe", "program");
    Dir.Write("App Dir\\app.ico", "icon");
  }
  TScratchDir Dir;
  TShellFoldersScope Folders{Dir.Path};
  const std::string App = Dir.Path + "App Dir\\app.exe";
  const std::string Icon = Dir.Path + "App Dir\\app.ico";
};

} // namespace

TEST_F(ShellLinks, FoldersComeFromTheShellFoldersKeyWithABackslash) {
  EXPECT_EQ(GetDesktopFolder(), Folders.Desktop + "\\");
  EXPECT_EQ(GetProgramsFolder(), Folders.Programs + "\\");
  EXPECT_EQ(GetShellFolder("Programs"), Folders.Programs);
  EXPECT_EQ(ShortcutFileName("Demo", true, "ignored"), Folders.Desktop + "\\Demo.lnk");
  EXPECT_EQ(ShortcutFileName("Demo", false, "A\\B"), Folders.Programs + "\\A\\B\\Demo.lnk");
  EXPECT_EQ(ShortcutFileName("Demo", false, ""), Folders.Programs + "\\Demo.lnk");

  // A folder the key does not name is the root of the current drive.
  TShellFoldersScope::Write(ShellFoldersKey, "Desktop", std::nullopt);
  EXPECT_EQ(GetShellFolder("Desktop"), "");
  EXPECT_EQ(GetDesktopFolder(), "\\");

  std::string temp = GetTempFolder();
  EXPECT_TRUE(EndsWithChar('\\', temp)) << temp;
  EXPECT_TRUE(DirectoryExists(temp)) << temp;
}

TEST_F(ShellLinks, ADesktopShortcutHoldsEveryField) {
  CreateShortcut(App, "/open \"a b\"", "Demo App", "Starts the demo", Icon, true, "");
  const std::string file = Folders.Desktop + "\\Demo App.lnk";
  ASSERT_TRUE(FileExists(file));
  TReadBack link = ReadLink(file);
  EXPECT_TRUE(SameText(link.Path, App)) << link.Path;
  EXPECT_EQ(link.Arguments, "/open \"a b\"");
  EXPECT_EQ(link.WorkingDirectory, Dir.Path + "App Dir\\") << "up to and with its last \"\\\"";
  EXPECT_EQ(link.Description, "Starts the demo");
  EXPECT_TRUE(SameText(link.Icon, Icon)) << link.Icon;
  EXPECT_EQ(link.IconIndex, 0);

  // Made again with other fields, the shortcut of that name is replaced.
  CreateShortcut(App, "", "Demo App", "Second", "", true, "");
  link = ReadLink(file);
  EXPECT_EQ(link.Description, "Second");
  EXPECT_EQ(link.Arguments, "");
  EXPECT_EQ(FindEntries(Folders.Desktop + "\\*").size(), 1u);
}

TEST_F(ShellLinks, ATwoLevelGroupIsMadeAndOnlyItsEmptyInnerLevelRemoved) {
  const std::string group = "Demo Vendor\\Demo Tools";
  CreateShortcut(App, "", "Tool", "A tool", Icon, false, group);
  const std::string file = Folders.Programs + "\\Demo Vendor\\Demo Tools\\Tool.lnk";
  ASSERT_TRUE(FileExists(file));
  EXPECT_EQ(ReadLink(file).Description, "A tool");
  EXPECT_FALSE(FileExists(Folders.Desktop + "\\Tool.lnk"));

  // Not empty yet: the folder stays.
  RemoveProgramsFolder(group);
  EXPECT_TRUE(FileExists(file));

  DeleteShortcut("Tool", false, group);
  EXPECT_FALSE(FileExists(file));
  DeleteShortcut("Tool", false, group); // gone already: nothing happens
  RemoveProgramsFolder(group);
  EXPECT_FALSE(DirectoryExists(Folders.Programs + "\\Demo Vendor\\Demo Tools"));
  EXPECT_TRUE(DirectoryExists(Folders.Programs + "\\Demo Vendor")) << "the outer level stays";

  // Without a group nothing is removed, not even an empty Programs folder.
  RemoveDir(Folders.Programs + "\\Demo Vendor");
  RemoveProgramsFolder("");
  EXPECT_TRUE(DirectoryExists(Folders.Programs));
}

TEST_F(ShellLinks, AGroupSharedWithOtherSoftwareKeepsTheirLinks) {
  CreateShortcut(App, "", "Ours", "", "", false, "Shared");
  CreateShortcut(App, "", "Theirs", "", "", false, "Shared");
  DeleteShortcut("Ours", false, "Shared");
  RemoveProgramsFolder("Shared");
  EXPECT_TRUE(FileExists(Folders.Programs + "\\Shared\\Theirs.lnk"));
  EXPECT_FALSE(FileExists(Folders.Programs + "\\Shared\\Ours.lnk"));
}

TEST_F(ShellLinks, ATargetWithoutDirectoryGetsNoWorkingDirectory) {
  CreateShortcut("app.exe", "", "Bare", "", "", false, "");
  const std::string file = Folders.Programs + "\\Bare.lnk";
  ASSERT_TRUE(FileExists(file));
  EXPECT_EQ(ReadLink(file).WorkingDirectory, "");
}
