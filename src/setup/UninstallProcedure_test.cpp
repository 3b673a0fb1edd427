#include "setup/UninstallProcedure.h"

#include "base/KaProcess.h"
#include "setup/InstallProcedure.h"
#include "setup/StartUp.h"
#include "setup/testing/ProcedureFixture.h"

namespace {

class UninstallProcedure : public ProcedureFixture {
protected:
  UninstallProcedure() {
    RunInstall(Manifest(), Server, InstallDir, Setup);
    Dir.Write("Demo App\\mine.txt", "the user's own");
    Dir.Write("Demo App\\bin\\notes.txt", "the user's own too");
  }
  const std::string Launcher = InstallDir + AppName + ".exe";
};

} // namespace

TEST_F(UninstallProcedure, RemovesTheListedFilesLinksAndEntryAndKeepsTheUsers) {
  // A link of other software in the same group keeps the group's folder.
  Dir.Write("Start Menu\\Programs\\Demo Vendor\\Demo Tools\\Other.lnk", "theirs");
  EXPECT_EQ(RunUninstall(Manifest(), InstallDir, false), Launcher);
  EXPECT_FALSE(FileExists(InstallDir + "readme.txt"));
  EXPECT_FALSE(FileExists(InstallDir + "bin\\demo.exe"));
  EXPECT_FALSE(FileExists(InstallRecordFileName(InstallDir, AppName)));
  EXPECT_TRUE(FileExists(InstallDir + "mine.txt"));
  EXPECT_TRUE(FileExists(InstallDir + "bin\\notes.txt"));
  EXPECT_TRUE(FileExists(Launcher)) << "the remover's work";
  EXPECT_FALSE(FileExists(DesktopLink));
  EXPECT_FALSE(FileExists(GroupLink));
  EXPECT_TRUE(DirectoryExists(Folders.Programs + "\\Demo Vendor\\Demo Tools"));
  EXPECT_FALSE(TRegistry(TRootKey::rkLocalMachine).KeyExists(UninstallKeyRoot + AppName));

  // Pressed again after a failure: what is gone stays gone, nothing raises.
  EXPECT_EQ(RunUninstall(Manifest(), InstallDir, false), Launcher);
}

TEST_F(UninstallProcedure, AllFilesLeaveAnEmptyDirectoryAndOnlyTheInnerGroupGoes) {
  RunUninstall(Manifest(), InstallDir, true);
  std::vector<TSearchRec> left = FindEntries(InstallDir + "*");
  EXPECT_TRUE(left.empty()) << left.front().Name;
  EXPECT_TRUE(DirectoryExists(InstallDir)) << "the remover removes it";
  EXPECT_FALSE(DirectoryExists(Folders.Programs + "\\Demo Vendor\\Demo Tools"));
  EXPECT_TRUE(DirectoryExists(Folders.Programs + "\\Demo Vendor"));
}

TEST_F(UninstallProcedure, TheRemoverStartsFromTheTemporaryFolderWithBothPathsQuoted) {
  std::vector<std::string> started;
  auto record = [&started](const std::string& commandLine) {
    started.push_back(commandLine);
    return true;
  };
  ASSERT_TRUE(StartRemover(Launcher, record));
  const std::string copy = GetTempFolder() + AppName + ".exe";
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0], "\"" + copy + "\" /X \"" + Launcher + "\"");
  EXPECT_EQ(SplitCommandLine(started[0]), (std::vector<std::string>{copy, "/X", Launcher}))
      << "blanks in both paths: the remover still gets exactly two arguments";
  EXPECT_EQ(Read(copy), "the setup program");

  // A stale copy of that name is replaced.
  Dir.Write("Demo App\\" + AppName + ".exe", "a newer launcher");
  ASSERT_TRUE(StartRemover(Launcher, record));
  EXPECT_EQ(Read(copy), "a newer launcher");
  RemoveFile(copy);

  // Nothing to copy: nothing is started, and nothing is said.
  started.clear();
  EXPECT_FALSE(StartRemover(InstallDir + "gone.exe", record));
  EXPECT_TRUE(started.empty());
}
