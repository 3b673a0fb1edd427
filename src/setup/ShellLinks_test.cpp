#include "setup/ShellLinks.h"

#include "base/KaFiles.h"
#include "model/testing/VoTesting.h"
#include "setup/testing/ShellFoldersScope.h"

#include <gtest/gtest.h>

// Natively a link is the text stand-in; under Wine these tests run against the
// real Shell Link object and the real registry of the test prefix, reading
// every link back through IShellLinkA.

namespace {

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
