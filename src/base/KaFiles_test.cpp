#include "base/KaFiles.h"

#include "base/KaExceptions.h"
#include "base/KaStreams.h"
#include "base/KaStrings.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <map>
#include <thread>
#include <tuple>

namespace {

class FilesTest : public ::testing::Test {
protected:
  void SetUp() override {
    Dir = GetTempDir() + "ws_files_test_" +
          ::testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
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

  void Write(const std::string& name, const std::string& bytes) {
    TMemoryStream(bytes).SaveToFile(Dir + name);
  }

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

TEST_F(FilesTest, ReplaceFileDataLeavesTheWholeCopyOrTheOldFile) {
  Write("src.bin", "new content");
  Write("dst.bin", "old content");
  // Left by a copy that never finished, and a user's file of a like name.
  Write("dst.bin.0.~ws", "half");
  Write("dst.bin.12.~ws", "ha");
  Write("dst.bin.x.~ws", "not ours");
  Write("dst.bin.1.~wsx", "not ours");
  ReplaceFileData(Dir + "src.bin", Dir + "dst.bin");
  auto read = [this](const std::string& name) {
    TMemoryStream m;
    m.LoadFromFile(Dir + name);
    return m.Bytes();
  };
  EXPECT_EQ(read("dst.bin"), "new content");
  std::vector<std::string> names;
  for (const TSearchRec& r : FindEntries(Dir + "dst.bin*"))
    names.push_back(r.Name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"dst.bin", "dst.bin.1.~wsx", "dst.bin.x.~ws"}));

  // A source that cannot be read: the destination as it was, no temporary.
  EXPECT_THROW(ReplaceFileData(Dir + "missing.bin", Dir + "dst.bin"), EFOpenError);
  EXPECT_EQ(read("dst.bin"), "new content");
  EXPECT_EQ(FindEntries(Dir + "*.~ws").size(), 1u);
  try {
    ReplaceFileData(Dir + "src.bin", Dir + "nodir\\x.bin");
    ADD_FAILURE() << "no directory to write in";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message().find("~ws"), std::string::npos) << e.Message();
    EXPECT_NE(e.Message().find("x.bin"), std::string::npos) << e.Message();
  }

  EXPECT_EQ(TemporaryBeside(Dir + "dst.bin"), Dir + "dst.bin.0.~ws");
  Write("dst.bin.0.~ws", "taken");
  EXPECT_EQ(TemporaryBeside(Dir + "dst.bin"), Dir + "dst.bin.1.~ws");
}

TEST_F(FilesTest, SameFileNameSeesThroughOtherSpellings) {
  Write("a\\f.txt", "x");
  Write("a\\g.txt", "x");
  EXPECT_TRUE(SameFileName(Dir + "a\\f.txt", Dir + "a\\b\\..\\f.txt"));
  EXPECT_TRUE(SameFileName(Dir + "a\\missing", Dir + "a\\missing"));
  EXPECT_FALSE(SameFileName(Dir + "a\\f.txt", Dir + "a\\g.txt"));
}

TEST_F(FilesTest, FileStreamErrorsNameThePath) {
  try {
    TFileStream f(Dir + "missing.txt", fmOpenRead);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message().rfind("Cannot open file \"" + Dir + "missing.txt\". ", 0), 0u)
        << e.Message();
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

TEST_F(FilesTest, StampedListingIsTheSearchWithFullPrecisionStamps) {
  Write("one.txt", "12345");
  Write("hidden.dat", std::string(70000, 'h'));
  Write("a\\inner", "i");
  ASSERT_TRUE(FileSetDate(Dir + "one.txt", EncodeDateTime({2023, 6, 15, 10, 20, 31, 537})));

  auto key = [](const TSearchRec& r) { return std::make_tuple(r.Name, r.Attr, r.Size, r.Time.ms); };
  std::vector<decltype(key(TSearchRec{}))> searched, listed;
  for (const TSearchRec& r : FindEntries(Dir + "*"))
    searched.push_back(key(r));
  std::map<std::string, TFileStamp> stamps;
  for (const TStampedEntry& e : FindStampedEntries(Dir)) {
    listed.push_back(key(e.Rec));
    stamps[e.Rec.Name] = e.Stamp;
  }
  std::sort(searched.begin(), searched.end());
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, searched) << "the same entries as the search, field by field";
  EXPECT_FALSE(stamps["a"].Known()) << "a directory has no stamp";

  // The listing's stamp is the file's, by name and through an open stream,
  // at full precision.
  for (const char* name : {"one.txt", "hidden.dat"}) {
    TFileStamp byName, byStream;
    ASSERT_TRUE(GetFileStamp(Dir + name, byName));
    TFileStream open(Dir + name, fmOpenRead | fmShareDenyNone);
    ASSERT_TRUE(open.GetStamp(byStream));
    EXPECT_TRUE(byName.Known());
    EXPECT_EQ(byName, stamps[name]) << name;
    EXPECT_EQ(byStream, stamps[name]) << name;
  }
  EXPECT_EQ(stamps["hidden.dat"].Size, 70000);
  const int64_t second = FileClockTicksPerSecond();
  EXPECT_EQ(stamps["one.txt"].WriteTime % second, second / 1000 * 537) << "milliseconds kept";
  TFileStamp none;
  EXPECT_FALSE(GetFileStamp(Dir + "nothere", none));
  EXPECT_FALSE(GetFileStamp(Dir + "a", none)) << "a directory is no file";
  EXPECT_TRUE(FindStampedEntries(Dir + "nothere\\").empty());
}

TEST_F(FilesTest, StampsMoveWithEveryChangeAndTheChangeTimeCannotBeSetBack) {
  Write("f", "same size");
  const int64_t old = FileClockNow() - 100 * FileClockTicksPerSecond();
  {
    TFileStream file(Dir + "f", fmOpenReadWrite | fmShareExclusive);
    ASSERT_TRUE(file.SetWriteTime(old));
  }
  TFileStamp before;
  ASSERT_TRUE(GetFileStamp(Dir + "f", before));
  EXPECT_EQ(before.WriteTime, old);
  EXPECT_LE(before.ChangeTime, FileClockNow());

  // New content of the same size with the write time put back: only the
  // change time tells, and it does (a tick of the file clock later).
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  Write("f", "SAME SIZE");
  {
    TFileStream file(Dir + "f", fmOpenReadWrite | fmShareExclusive);
    ASSERT_TRUE(file.SetWriteTime(old));
  }
  TFileStamp after;
  ASSERT_TRUE(GetFileStamp(Dir + "f", after));
  EXPECT_EQ(after.Size, before.Size);
  EXPECT_EQ(after.WriteTime, before.WriteTime);
  EXPECT_NE(after.ChangeTime, before.ChangeTime);
  EXPECT_GE(after.ChangeTime, FileClockNow() - 10 * FileClockTicksPerSecond())
      << "the change time is the file clock's now";
}

TEST_F(FilesTest, ANewTemporaryTakesTheFirstFreeNameInOneStep) {
  Write("t", "target");
  Write("t.0.~ws", "another's");
  ASSERT_TRUE(CreateDir(Dir + "t.1.~ws"));
  EXPECT_FALSE(TFileStream::CreateNew(Dir + "t.0.~ws")) << "a file of the name";
  EXPECT_FALSE(TFileStream::CreateNew(Dir + "t.1.~ws")) << "a directory of the name";
  std::string temporary;
  {
    std::unique_ptr<TFileStream> made = CreateTemporaryBeside(Dir + "t", temporary);
    ASSERT_TRUE(made);
    made->WriteString("mine");
  }
  EXPECT_EQ(temporary, Dir + "t.2.~ws");
  TMemoryStream m;
  m.LoadFromFile(Dir + "t.0.~ws");
  EXPECT_EQ(m.Bytes(), "another's");
  EXPECT_EQ(TemporaryBaseName("t.2.~ws"), "t");
  EXPECT_EQ(TemporaryBaseName("a.b.12.~ws"), "a.b");
  for (const char* other : {"t.~ws", ".2.~ws", "t.x.~ws", "t.2.ws", "t.2.~wsx", "t..~ws"})
    EXPECT_EQ(TemporaryBaseName(other), "") << other;
  EXPECT_THROW(CreateTemporaryBeside(Dir + "nothere\\t", temporary), EFCreateError);
  EXPECT_EQ(temporary, "") << "no name of another's to clean up";
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
