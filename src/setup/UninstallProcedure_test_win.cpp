#include "setup/UninstallProcedure.h"

#include "base/KaFiles.h"
#include "base/KaProcess.h"
#include "base/KaProgramPaths.h"
#include "base/KaStreams.h"
#include "model/testing/VoTesting.h"
#include "setup/ShellLinks.h"

#include <gtest/gtest.h>

#include <memory>

// The real remover: a copy of setup.exe in the temporary folder, started with
// both paths quoted, deletes the launcher copy once the uninstaller lets go of
// it, then the directory, blanks in every path.
TEST(UninstallProcedureWindows, TheRemoverDeletesTheLauncherOnceReleasedAndItsDirectory) {
  TScratchDir dir;
  const std::string installDir = dir.Path + "Demo App\\";
  ASSERT_TRUE(ForceDirectories(installDir));
  const std::string launcher = installDir + "websetup Demo App.exe";
  CopyFileData(ExeDir() + "setup.exe", launcher);

  // The ending uninstaller still holds its own file for a while.
  auto running = std::make_unique<TFileStream>(launcher, fmOpenRead | fmShareDenyWrite);
  ASSERT_TRUE(StartRemover(launcher));
  Pause(1000);
  EXPECT_TRUE(FileExists(launcher)) << "not while it is held";
  running.reset();

  for (int i = 0; i < 600 && DirectoryExists(installDir); ++i)
    Pause(100);
  EXPECT_FALSE(FileExists(launcher));
  EXPECT_FALSE(DirectoryExists(installDir));

  // The copy stays in the temporary folder; the test takes it away once its
  // process has ended.
  const std::string copy = GetTempFolder() + "websetup Demo App.exe";
  EXPECT_TRUE(FileExists(copy));
  for (int i = 0; i < 100 && !RemoveFile(copy); ++i)
    Pause(100);
}
