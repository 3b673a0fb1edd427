#include "setup/StartUp.h"

#include "base/KaFiles.h"
#include "base/KaStreams.h"

#include <gtest/gtest.h>

using Args = std::vector<std::string>;

TEST(StartUp, OnlyExactlyTwoArgumentsWithUpperCaseXSelectTheRemover) {
  EXPECT_TRUE(IsRemoverCall(Args{"/X", "C:\\App\\app.exe"}));
  EXPECT_FALSE(IsRemoverCall(Args{"/X"}));
  EXPECT_FALSE(IsRemoverCall(Args{"/X", "a", "b"}));
  EXPECT_FALSE(IsRemoverCall(Args{"/x", "C:\\App\\app.exe"}));
  EXPECT_FALSE(IsRemoverCall(Args{}));
}

TEST(StartUp, ChoiceOfRole) {
  EXPECT_EQ(ChooseStart(Args{"/remove"}, ""), TStartChoice::scSetup);
  EXPECT_EQ(ChooseStart(Args{}, ""), TStartChoice::scSetup);
  EXPECT_EQ(ChooseStart(Args{"/remove"}, "C:\\App\\"), TStartChoice::scUninstall);
  EXPECT_EQ(ChooseStart(Args{"/REMOVE"}, "C:\\App\\"), TStartChoice::scLauncherCheck);
  EXPECT_EQ(ChooseStart(Args{"x", "/remove"}, "C:\\App\\"), TStartChoice::scLauncherCheck);
  EXPECT_EQ(ChooseStart(Args{"/force-setup"}, "C:\\App\\"), TStartChoice::scSetup);
  EXPECT_EQ(ChooseStart(Args{}, "C:\\App\\"), TStartChoice::scLauncherCheck);
  EXPECT_EQ(ChooseStart(Args{"/X", "a", "b"}, "C:\\App\\"), TStartChoice::scLauncherCheck);
}

TEST(StartUp, RemoverDeletesTheFileAndTheEmptyDirectory) {
  std::string dir = GetTempDir() + "ws_remover_unit\\";
  ForceDirectories(dir);
  TMemoryStream(std::string("exe")).SaveToFile(dir + "app.exe");
  RunRemover("  " + dir + "app.exe \t");
  EXPECT_FALSE(FileExists(dir + "app.exe"));
  EXPECT_FALSE(DirectoryExists(dir));
}

TEST(StartUp, RemoverKeepsADirectoryThatIsNotEmpty) {
  std::string dir = GetTempDir() + "ws_remover_unit2\\";
  ForceDirectories(dir);
  TMemoryStream(std::string("exe")).SaveToFile(dir + "app.exe");
  TMemoryStream(std::string("data")).SaveToFile(dir + "keep.txt");
  RunRemover(dir + "app.exe");
  EXPECT_FALSE(FileExists(dir + "app.exe"));
  EXPECT_TRUE(FileExists(dir + "keep.txt"));
  RemoveFile(dir + "keep.txt");
  RemoveDir(dir);
}
