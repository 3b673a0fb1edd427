#include "base/KaProcess.h"

#include "base/KaFiles.h"

#include <gtest/gtest.h>

TEST(RunProgram, StartsWithoutWaitingAndReportsFailure) {
  std::string marker = GetTempDir() + "ws_runprogram.txt";
  RemoveFile(marker);
  ASSERT_TRUE(RunProgram("cmd.exe /c echo started> \"" + marker + "\""));
  for (int i = 0; i < 600 && !FileExists(marker); ++i)
    Pause(100);
  EXPECT_TRUE(FileExists(marker));
  EXPECT_FALSE(RunProgram("C:\\no\\such\\program.exe"));
  for (int i = 0; i < 20 && !RemoveFile(marker); ++i)
    Pause(100);
}

