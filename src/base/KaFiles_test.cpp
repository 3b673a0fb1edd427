#include "base/KaFiles.h"

#include "base/KaExceptions.h"
#include "base/KaStreams.h"
#include "base/KaStrings.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

class FilesTest : public ::testing::Test {
protected:
  void SetUp() override {
    Dir = GetTempDir() + "ws_files_test_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
    Clean(Dir);
    ASSERT_TRUE(ForceDirectories(Dir + "a\\b"));
  }
  void TearDown() override { Clean(Dir); }

  static void Clean(const std::string& dir) {
    for (const TSearchRec& r : FindEntries(dir + "*")) {
      if (r.IsDirectory())
        Clean(dir + r.Name + "\\");
      else
        RemoveFile(dir + r.Name);
    }
    RemoveDir(dir);
  }

  void Write(const std::string& name, const std::string& bytes) { TMemoryStream(bytes).SaveToFile(Dir + name); }

  std::string Dir;
};

} // namespace

TEST_F(FilesTest, CreateQueryAndRemove) {
  EXPECT_TRUE(DirectoryExists(Dir + "a\\b"));
  EXPECT_FALSE(FileExists(Dir + "a"));
  Write("a\\f.txt", "abc");
  EXPECT_TRUE(FileExists(Dir + "a\\f.txt"));
  EXPECT_FALSE(DirectoryExists(Dir + "a\\f.txt"));
  EXPECT_FALSE(RemoveDir(Dir + "a")) << "a directory that is not empty stays";
  EXPECT_TRUE(RenameFile(Dir + "a\\f.txt", Dir + "a\\g.txt"));
  Write("a\\f.txt", "new");
  EXPECT_TRUE(RenameFile(Dir + "a\\f.txt", Dir + "a\\g.txt")) << "a rename replaces the target";
  TMemoryStream m;
  m.LoadFromFile(Dir + "a\\g.txt");
  EXPECT_EQ(m.Bytes(), "new");
  EXPECT_TRUE(RemoveFile(Dir + "a\\g.txt"));
  EXPECT_FALSE(RemoveFile(Dir + "a\\g.txt"));
  EXPECT_TRUE(RemoveDir(Dir + "a\\b"));
}

TEST_F(FilesTest, CopyFileDataCopiesEveryByte) {
  std::string data(8192 * 2 + 5, '\0');
  for (size_t i = 0; i < data.size(); ++i)
    data[i] = static_cast<char>(i % 251);
  Write("src.bin", data);
  CopyFileData(Dir + "src.bin", Dir + "dst.bin");
  TMemoryStream m;
  m.LoadFromFile(Dir + "dst.bin");
  EXPECT_EQ(m.Bytes(), data);
  EXPECT_THROW(CopyFileData(Dir + "missing.bin", Dir + "x.bin"), EFOpenError);
  EXPECT_THROW(CopyFileData(Dir + "src.bin", Dir + "nodir\\x.bin"), EFCreateError);
}

TEST_F(FilesTest, FileStreamErrorsNameThePath) {
  try {
    TFileStream f(Dir + "missing.txt", fmOpenRead);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message().rfind("Cannot open file \"" + Dir + "missing.txt\". ", 0), 0u) << e.Message();
  }
}

TEST_F(FilesTest, SearchFindsEntriesWithSizesAndTwoSecondTimes) {
  Write("one.txt", "12345");
  Write("two.dat", "");
  Write("three.TXT", "x");
  TDateTime when = EncodeDateTime({2023, 6, 15, 10, 20, 31, 500});
  ASSERT_TRUE(FileSetDate(Dir + "one.txt", when));
  TDateTime back;
  ASSERT_TRUE(FileGetDate(Dir + "one.txt", back));
  EXPECT_EQ(back, when);

  auto all = FindEntries(Dir + "*");
  EXPECT_EQ(all.size(), 4u);
  auto txt = FindEntries(Dir + "*.txt");
  std::vector<std::string> names;
  for (auto& r : txt)
    names.push_back(r.Name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"one.txt", "three.TXT"}));
  for (auto& r : all) {
    if (r.Name == "one.txt") {
      EXPECT_EQ(r.Size, 5u);
      EXPECT_FALSE(r.IsDirectory());
      EXPECT_EQ(r.Time, EncodeDateTime({2023, 6, 15, 10, 20, 30, 0})) << "two-second steps";
    }
    if (r.Name == "a") {
      EXPECT_TRUE(r.IsDirectory());
    }
  }
  EXPECT_TRUE(FindEntries(Dir + "nothere\\*").empty());
}

TEST_F(FilesTest, CurrentAndTemporaryDirectory) {
  std::string before = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(Dir + "a"));
  TMemoryStream(std::string("x")).SaveToFile("relative.txt");
  EXPECT_TRUE(FileExists(Dir + "a\\relative.txt"));
  EXPECT_TRUE(SetCurrentDir(before));
  EXPECT_FALSE(SetCurrentDir(Dir + "nothere"));
  EXPECT_TRUE(EndsWithChar('\\', GetTempDir()));
  EXPECT_TRUE(DirectoryExists(GetTempDir()));
}
