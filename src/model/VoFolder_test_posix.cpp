#include "model/VoFolder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// A folder with a link to a file and one to a directory beside plain ones.
class FolderLinksTest : public testing::Test {
protected:
  FolderLinksTest()
      : Dir(fs::temp_directory_path() / ("ws_folder_links_" + std::to_string(::getpid()))) {
    fs::remove_all(Dir);
    fs::create_directories(Dir / "app" / "sub");
    fs::create_directories(Dir / "outside");
    std::ofstream(Dir / "app" / "plain.txt") << "plain";
    std::ofstream(Dir / "outside" / "secret.txt") << "secret!";
    Folder->SetPath((Dir / "app").string());
    Folder->GetMasks().Add("*");
  }
  // Links would lead a removal that follows them out of the folder.
  ~FolderLinksTest() override { fs::remove_all(Dir); }

  std::string Refusal() {
    try {
      Folder->Scan();
    } catch (const EVoFolder& e) {
      return e.Message();
    }
    return "";
  }

  fs::path Dir;
  IVoFolderPtr Folder = CreateFolder();
};

// The installer scans its directory as the platform's search reports it;
// only a folder that is published refuses what is no plain entry.
TEST_F(FolderLinksTest, LinksAreTakenUnlessPlainEntriesOnly) {
  fs::create_symlink(Dir / "outside" / "secret.txt", Dir / "app" / "sub" / "link.txt");
  fs::create_directory_symlink(Dir / "outside", Dir / "app" / "linked");
  IVoNodePtr root = Folder->Scan();
  int files = 0;
  TVoFolderWalk walk;
  walk.File = [&](const IVoNodePtr&, IVoFolderFile& f, const std::string& prefix) {
    ++files;
    if (f.GetName() == "link.txt") {
      EXPECT_EQ(f.GetSize(), 7) << prefix << ": the link's target";
    }
  };
  WalkFolder(root, Folder->GetPath(), walk);
  EXPECT_EQ(files, 3) << "plain.txt, sub\\link.txt and linked\\secret.txt";

  Folder->SetPlainEntriesOnly(true);
  std::string message = Refusal();
  EXPECT_TRUE(message == "\"linked\" is a symbolic link" ||
              message == "\"sub\\link.txt\" is a symbolic link")
      << message;
  fs::remove(Dir / "app" / "linked");
  EXPECT_EQ(Refusal(), "\"sub\\link.txt\" is a symbolic link");
  Folder->GetExcludes().Add("sub");
  EXPECT_EQ(Refusal(), "") << "an excluded directory is not searched";
  Folder->GetExcludes().Clear();
  Folder->GetMasks().Clear();
  Folder->GetMasks().Add("*.dat");
  EXPECT_EQ(Refusal(), "") << "no mask takes the link";
}

// A FIFO would make the scan wait for a writer for good, and a link loop
// would walk until the path grows too long: both end at their first step.
TEST_F(FolderLinksTest, AFifoOrALinkLoopEndsAtOnce) {
  Folder->SetPlainEntriesOnly(true);
  ASSERT_EQ(::mkfifo((Dir / "app" / "sub" / "pipe").c_str(), 0600), 0);
  EXPECT_EQ(Refusal(), "\"sub\\pipe\" is neither a file nor a directory");
  fs::remove(Dir / "app" / "sub" / "pipe");
  fs::create_directory_symlink(Dir / "app", Dir / "app" / "sub" / "loop");
  EXPECT_EQ(Refusal(), "\"sub\\loop\" is a symbolic link");
}

} // namespace
