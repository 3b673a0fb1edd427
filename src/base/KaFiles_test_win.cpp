#include "base/KaFiles.h"

#include "base/KaHandle_win.h"
#include "base/KaStreams.h"

#include <gtest/gtest.h>
#include <windows.h>

TEST(FilesWindows, SearchIncludesHiddenAndSystemEntries) {
  std::string dir = GetTempDir() + "ws_files_attr\\";
  ForceDirectories(dir);
  std::string hidden = dir + "hidden.txt", system = dir + "system.txt";
  TMemoryStream(std::string("h")).SaveToFile(hidden);
  TMemoryStream(std::string("s")).SaveToFile(system);
  ASSERT_TRUE(SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesA(system.c_str(), FILE_ATTRIBUTE_SYSTEM));
  bool sawHidden = false, sawSystem = false;
  for (const TSearchRec& r : FindEntries(dir + "*")) {
    if (r.Name == "hidden.txt")
      sawHidden = (r.Attr & faHidden) != 0;
    if (r.Name == "system.txt")
      sawSystem = (r.Attr & faSysFile) != 0;
  }
  EXPECT_TRUE(sawHidden);
  EXPECT_TRUE(sawSystem);
  SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_NORMAL);
  SetFileAttributesA(system.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveFile(hidden);
  RemoveFile(system);
  RemoveDir(dir);
}

TEST(FilesWindows, SearchTimeIsLocalWallClockOfTheFileTime) {
  std::string name = GetTempDir() + "ws_files_time.txt";
  TMemoryStream(std::string("t")).SaveToFile(name);
  // 2023-06-15 10:20:31.5 UTC as a file time.
  SYSTEMTIME utc{2023, 6, 4, 15, 10, 20, 31, 500};
  FILETIME ft, localFt;
  SystemTimeToFileTime(&utc, &ft);
  {
    TScopedKernelHandle file(
        CreateFileA(name.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    SetFileTime(file.Get(), nullptr, nullptr, &ft);
  }
  FileTimeToLocalFileTime(&ft, &localFt);
  SYSTEMTIME local;
  FileTimeToSystemTime(&localFt, &local);
  auto entries = FindEntries(name);
  ASSERT_EQ(entries.size(), 1u);
  TDateTimeParts p = DecodeDateTime(entries[0].Time);
  EXPECT_EQ(p.Hour, local.wHour);
  EXPECT_EQ(p.Minute, 20);
  EXPECT_EQ(p.Second, 30);
  EXPECT_EQ(p.MilliSecond, 0);
  RemoveFile(name);
}

TEST(FilesWindows, SameFileNameIgnoresLetterCaseAndShortNames) {
  std::string dir = GetTempDir() + "ws_same_file_name\\";
  ForceDirectories(dir + "Long Directory Name");
  TMemoryStream(std::string("x")).SaveToFile(dir + "Long Directory Name\\Program.exe");
  EXPECT_TRUE(SameFileName(dir + "Long Directory Name\\Program.exe",
                           dir + "LONG directory NAME\\program.EXE"));
  char shortName[MAX_PATH];
  std::string longName = dir + "Long Directory Name\\Program.exe";
  DWORD n = GetShortPathNameA(longName.c_str(), shortName, sizeof shortName);
  if (n > 0 && n < sizeof shortName) {
    EXPECT_TRUE(SameFileName(shortName, longName)) << shortName;
  }
  RemoveFile(longName);
  RemoveDir(dir + "Long Directory Name");
  RemoveDir(dir);
}
