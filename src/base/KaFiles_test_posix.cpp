#include "base/KaFiles.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// What a vendor's folder may hold besides files and directories: the search
// tells links and special entries, and describes a link by what it leads to.
TEST(FindEntriesPosix, TellsLinksAndSpecialEntries) {
  fs::path dir = fs::temp_directory_path() / ("ws_find_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "sub");
  { std::ofstream(dir / "file.txt") << "12345"; }
  fs::create_symlink(dir / "file.txt", dir / "to-file");
  fs::create_directory_symlink(dir / "sub", dir / "to-sub");
  fs::create_symlink(dir / "nowhere", dir / "dangling");
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);

  std::map<std::string, TSearchRec> found;
  for (TSearchRec& r : FindEntries(dir.string() + "\\*"))
    found[r.Name] = r;
  fs::remove_all(dir);

  ASSERT_EQ(found.size(), 5u) << "a link that leads nowhere is no entry";
  EXPECT_FALSE(found["file.txt"].Linked || found["file.txt"].Special);
  EXPECT_FALSE(found["sub"].Linked || found["sub"].Special);
  EXPECT_TRUE(found["to-file"].Linked);
  EXPECT_FALSE(found["to-file"].IsDirectory());
  EXPECT_EQ(found["to-file"].Size, 5u);
  EXPECT_TRUE(found["to-sub"].Linked);
  EXPECT_TRUE(found["to-sub"].IsDirectory());
  EXPECT_TRUE(found["pipe"].Special);
  EXPECT_FALSE(found["pipe"].Linked || found["pipe"].IsDirectory());
}

} // namespace
