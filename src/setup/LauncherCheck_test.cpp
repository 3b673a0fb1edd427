#include "setup/LauncherCheck.h"

#include "base/KaFiles.h"
#include "base/KaStreams.h"
#include "base/KaText.h"
#include "net/testing/KaNetTesting.h"

#include <gtest/gtest.h>

namespace {

std::string Manifest(const std::string& fileLines) {
  return "[installer]\r\nappName=Demo\r\nappDir=C:\\Demo\\\r\npayloadName=demo.exe\r\n\r\n"
         "[files]\r\n|=\r\n|:*\r\n" +
         fileLines + "|x\r\n\r\n";
}

class LauncherCheckTest : public testing::Test {
protected:
  LauncherCheckTest() {
    Settings.Write("lib", THTTPScript::LibName);
    Script.Reset();
    Product.CreateConnection();
    Dir = GetTempDir() + "ws_launcher_check\\";
    ForceDirectories(Dir);
    // "123456789": size 9, CRC 3421780262.
    TMemoryStream(std::string("123456789")).SaveToFile(Dir + "app.txt");
  }
  ~LauncherCheckTest() override {
    RemoveFile(Dir + "app.txt");
    RemoveDir(Dir);
  }
  void AnswerProduct(const std::string& manifest) {
    Script.Answers.push_back({200, AnswerBody(0, 0, 0, ""), std::nullopt});
    Script.Answers.push_back(
        {200, AnswerBody(0, 0, 0, "", WireString("Demo") + WireString(manifest)), std::nullopt});
  }

  TInternetSettingsScope Settings;
  THTTPScript& Script = HTTPScript();
  TProductInfo Product{"updates.example"};
  std::string Dir, ErrorText;
};

} // namespace

TEST_F(LauncherCheckTest, CurrentInstallationStartsTheApplicationAndReleasesTheConnection) {
  AnswerProduct(Manifest("|-7,9,3421780262,00000000000000000,0,app.txt\r\n"));
  EXPECT_EQ(RunLauncherCheck(Product, Dir, ErrorText), TStartMode::smLaunch);
  EXPECT_EQ(Product.Connection(), nullptr);
  EXPECT_TRUE(ErrorText.empty());
  EXPECT_EQ(Script.Posts.size(), 2u) << "hi! and the product request, no file fetched";
}

TEST_F(LauncherCheckTest, ChangedOrMissingFilesAskForTheUpdatePage) {
  AnswerProduct(Manifest("|-7,9,1,00000000000000000,0,app.txt\r\n"
                         "|-8,4,2,00000000000000000,0,missing.txt\r\n"));
  EXPECT_EQ(RunLauncherCheck(Product, Dir, ErrorText), TStartMode::smUpdate);
  EXPECT_NE(Product.Connection(), nullptr) << "the Update page goes on with the same session";
}

TEST_F(LauncherCheckTest, AnyFailureShowsTheErrorPage) {
  Script.Answers.push_back({500, "", std::nullopt});
  EXPECT_EQ(RunLauncherCheck(Product, Dir, ErrorText), TStartMode::smError);
  EXPECT_EQ(ErrorText, "$(productinfo_error)");

  // A manifest that does not parse fails the check the same way.
  LauncherCheckTest::ErrorText.clear();
  Product.CreateConnection();
  AnswerProduct("[files]\r\n|-x,1\r\n");
  EXPECT_EQ(RunLauncherCheck(Product, Dir, ErrorText), TStartMode::smError);
  EXPECT_EQ(ErrorText, "$(productinfo_error)");
}
