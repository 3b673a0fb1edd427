#include "setup/InstallProcedure.h"

#include "base/KaStreams.h"
#include "model/VoUpdateConfig.h"
#include "setup/StartUp.h"
#include "setup/UpdateProcedure.h"
#include "setup/WorkSession.h"
#include "setup/testing/ProcedureFixture.h"

// Natively against the in-memory registry and the text stand-in of links;
// under Wine against the real registry and Shell Link object of the prefix.

namespace {

class InstallProcedure : public ProcedureFixture {
protected:
  std::string Value(const std::string& name) {
    TRegistry registry(TRootKey::rkLocalMachine);
    EXPECT_TRUE(registry.OpenKeyReadOnly(UninstallKeyRoot + AppName)) << name;
    return registry.ReadString(name);
  }
  TShellLink& Link(const std::string& fileName) {
    EXPECT_TRUE(FLink.Load(fileName)) << fileName;
    return FLink;
  }

private:
  TShellLink FLink;
};

} // namespace

TEST_F(InstallProcedure, TheInstallPathIsMadeUsableOrRefused) {
  std::string path = Dir.Path + "new\\deeper";
  EXPECT_TRUE(PrepareInstallDir(path));
  EXPECT_EQ(path, Dir.Path + "new\\deeper\\") << "shown with its backslash";
  EXPECT_TRUE(DirectoryExists(path));
  EXPECT_TRUE(PrepareInstallDir(path)) << "an existing directory is used as it is";
  EXPECT_EQ(path, Dir.Path + "new\\deeper\\");

  // Empty, or blanks only, would name the root of the current drive.
  for (std::string refused : {std::string(), std::string("   ")}) {
    std::string before = refused;
    EXPECT_FALSE(PrepareInstallDir(refused));
    EXPECT_EQ(refused, before) << "the field is left as the user typed it";
  }

  Dir.Write("a file", "not a directory");
  path = Dir.Path + "a file\\sub";
  EXPECT_FALSE(PrepareInstallDir(path));
  EXPECT_EQ(path, Dir.Path + "a file\\sub\\");
}

TEST_F(InstallProcedure, InstallsLauncherRecordFilesShortcutsAndEntry) {
  std::string path = InstallDir;
  ASSERT_TRUE(PrepareInstallDir(path));
  const std::string app = RunInstall(Manifest(), Server, InstallDir, Setup);
  EXPECT_EQ(app, InstallDir + "bin\\demo.exe");
  EXPECT_EQ(::InstallDir(), InstallDir);

  EXPECT_EQ(Read(InstallDir + AppName + ".exe"), "the setup program");
  EXPECT_EQ(Read(InstallRecordFileName(InstallDir, AppName)), "tt") << "no line end";
  EXPECT_EQ(Server->Calls, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(Read(InstallDir + "readme.txt"), "content 1");
  EXPECT_EQ(Read(InstallDir + "bin\\demo.exe"), "content 2");
  EXPECT_EQ(Temporaries(Dir.Path), 0);

  TShellLink& desktop = Link(DesktopLink);
  EXPECT_TRUE(SameText(desktop.GetPath(), InstallDir + "bin\\demo.exe")) << desktop.GetPath();
  EXPECT_EQ(desktop.GetArguments(), "/start");
  EXPECT_EQ(desktop.GetDescription(), "Starts the demo");
  EXPECT_EQ(desktop.GetWorkingDirectory(), InstallDir + "bin\\");
  int index = -1;
  EXPECT_TRUE(SameText(desktop.GetIconLocation(index), InstallDir + "bin\\demo.ico"));
  EXPECT_FALSE(FileExists(Folders.Programs + "\\Demo Link.lnk")) << "the desktop only";

  TShellLink& grouped = Link(GroupLink);
  EXPECT_EQ(grouped.GetDescription(), "Tools");
  EXPECT_EQ(grouped.GetIconLocation(index), "") << "no icon of its own: its target's";
  EXPECT_FALSE(FileExists(Folders.Desktop + "\\Demo Tools.lnk"));

  EXPECT_EQ(Value("DisplayName"), AppName);
  EXPECT_EQ(Value("Publisher"), "Brellik");
  EXPECT_EQ(Value("InstallLocation"), InstallDir);
  EXPECT_EQ(Value("UninstallString"), "\"" + InstallDir + AppName + ".exe\" /remove");
}

TEST_F(InstallProcedure, ASecondInstallRewritesLauncherAndRecordButNotTheEntry) {
  RunInstall(Manifest(), Server, InstallDir, Setup);
  Dir.Write("Downloads\\setup.exe", "a newer setup program");
  Translator()->SetLanguage(u"en");
  Server->Calls.clear();
  RunInstall(Manifest(), Server, InstallDir, Setup);
  EXPECT_EQ(Read(InstallDir + AppName + ".exe"), "a newer setup program");
  EXPECT_EQ(Read(InstallRecordFileName(InstallDir, AppName)), "en");
  EXPECT_TRUE(Server->Calls.empty()) << "the files are current";

  const std::string elsewhere = Dir.Path + "Elsewhere\\";
  ASSERT_TRUE(ForceDirectories(elsewhere));
  RunInstall(Manifest(), Server, elsewhere, Setup);
  EXPECT_EQ(Value("InstallLocation"), InstallDir) << "the first entry stays";
  EXPECT_EQ(Read(elsewhere + "readme.txt"), "content 1");
}

TEST_F(InstallProcedure, AForcedSetupIntoItsOwnDirectoryKeepsTheRunningFile) {
  ASSERT_TRUE(ForceDirectories(InstallDir));
  const std::string launcher = InstallDir + AppName + ".exe";
  Dir.Write("Demo App\\" + AppName + ".exe", "the installed launcher");
  // Held as a running program is: others may read it, nobody may write it.
  TFileStream running(launcher, fmOpenRead | fmShareDenyWrite);
  // The same file, named another way.
  const std::string self = InstallDir + "bin\\..\\" + AppName + ".exe";
  ASSERT_TRUE(ForceDirectories(InstallDir + "bin"));
  RunInstall(Manifest(), Server, InstallDir, self);
  EXPECT_EQ(Read(launcher), "the installed launcher");
  EXPECT_EQ(Read(InstallRecordFileName(InstallDir, AppName)), "tt");
  EXPECT_EQ(Read(InstallDir + "bin\\demo.exe"), "content 2") << "the rest goes on";
  EXPECT_TRUE(FileExists(DesktopLink));
}

TEST_F(InstallProcedure, TheServerGoneMidwayLeavesWholeFilesAndTheLauncherRepairs) {
  Server->Failing.insert(2);
  EXPECT_THROW(RunInstall(Manifest(), Server, InstallDir, Setup), Exception);
  EXPECT_EQ(Read(InstallDir + "readme.txt"), "content 1");
  EXPECT_FALSE(FileExists(InstallDir + "bin\\demo.exe"));
  EXPECT_EQ(Temporaries(Dir.Path), 0) << "no half-written file";
  EXPECT_TRUE(FileExists(InstallRecordFileName(InstallDir, AppName))) << "the launcher can repair";
  EXPECT_FALSE(FileExists(DesktopLink)) << "steps after the failure are not done";
  EXPECT_FALSE(TRegistry(TRootKey::rkLocalMachine).KeyExists(UninstallKeyRoot + AppName));

  // The next start of the launcher: the check sees what is missing, the
  // Update page fetches it, and the installation is current.
  Server->Failing.clear();
  IVoUpdateConfigPtr manifest = CreateUpdateConfig();
  manifest->SetText(Manifest());
  ASSERT_TRUE(manifest->NeedsUpdate(InstallDir));
  EXPECT_EQ(RunUpdate(Manifest(), Server, InstallDir), InstallDir + "bin\\demo.exe");
  EXPECT_EQ(Read(InstallDir + "bin\\demo.exe"), "content 2");
  EXPECT_EQ(Read(InstallDir + "bin\\demo.ico"), "content 3");
  EXPECT_FALSE(manifest->NeedsUpdate(InstallDir));
}

TEST_F(InstallProcedure, StoppedBetweenFilesItIsStillRegisteredAndTheLauncherRepairs) {
  // The window closed while the first file came in.
  EXPECT_THROW(
      {
        TWorkSession session({}, [this] { return !Server->Calls.empty(); });
        RunInstall(Manifest(), Server, InstallDir, Setup);
      },
      EWorkStopped);
  EXPECT_EQ(Server->Calls, (std::vector<int32_t>{1})) << "no file begun after the stop";
  EXPECT_EQ(Read(InstallDir + "readme.txt"), "content 1");
  EXPECT_FALSE(FileExists(InstallDir + "bin\\demo.exe"));
  EXPECT_EQ(Temporaries(Dir.Path), 0);
  EXPECT_TRUE(FileExists(DesktopLink)) << "the launcher can be started";
  EXPECT_TRUE(FileExists(GroupLink));
  EXPECT_EQ(Value("UninstallString"), "\"" + InstallDir + AppName + ".exe\" /remove");

  IVoUpdateConfigPtr manifest = CreateUpdateConfig();
  manifest->SetText(Manifest());
  ASSERT_TRUE(manifest->NeedsUpdate(InstallDir));
  RunUpdate(Manifest(), Server, InstallDir);
  EXPECT_FALSE(manifest->NeedsUpdate(InstallDir));
}
