#include "setup/UninstallEntry.h"

#include "base/KaProcess.h"
#include "base/KaRegistry.h"

#include <gtest/gtest.h>

// Natively the registry is the in-memory one; under Wine it is the real one of
// the test prefix, so every test starts and ends without its entry.
namespace {

const std::string Key = "websetup-tests Uninstall Entry";

class UninstallEntry : public testing::Test {
protected:
  UninstallEntry() { UnregisterUninstall(Key); }
  ~UninstallEntry() override { UnregisterUninstall(Key); }

  static std::string Value(const std::string& name) {
    TRegistry registry(TRootKey::rkLocalMachine);
    EXPECT_TRUE(registry.OpenKeyReadOnly(UninstallKeyRoot + Key)) << name;
    return registry.ReadString(name);
  }
};

} // namespace

TEST_F(UninstallEntry, WritesTheFourValuesOnceAndNeverChangesThem) {
  EXPECT_TRUE(RegisterUninstall(Key, "Demo App", "C:\\Apps\\Demo\\", "Demo.exe"));
  EXPECT_EQ(Value("DisplayName"), "Demo App");
  EXPECT_EQ(Value("Publisher"), "Brellik");
  EXPECT_EQ(Value("InstallLocation"), "C:\\Apps\\Demo\\");
  EXPECT_EQ(Value("UninstallString"), "\"C:\\Apps\\Demo\\Demo.exe\" /remove");
  {
    TRegistry registry(TRootKey::rkLocalMachine);
    ASSERT_TRUE(registry.OpenKeyReadOnly(UninstallKeyRoot + Key));
    EXPECT_TRUE(registry.ValueExists("DisplayName"));
    EXPECT_FALSE(registry.ValueExists("DisplayIcon")) << "nothing but the four values";
  }

  // A second installation, elsewhere: the first entry stays as it was.
  EXPECT_FALSE(RegisterUninstall(Key, "Other", "D:\\Elsewhere\\", "Other.exe"));
  EXPECT_EQ(Value("DisplayName"), "Demo App");
  EXPECT_EQ(Value("InstallLocation"), "C:\\Apps\\Demo\\");
  EXPECT_EQ(Value("UninstallString"), "\"C:\\Apps\\Demo\\Demo.exe\" /remove");
}

TEST_F(UninstallEntry, UnregisteringTwiceReportsTheSecondAsNothingDone) {
  EXPECT_FALSE(UnregisterUninstall(Key)) << "no entry yet";
  ASSERT_TRUE(RegisterUninstall(Key, Key, "C:\\Apps\\Demo\\", "Demo.exe"));
  EXPECT_TRUE(UnregisterUninstall(Key));
  EXPECT_FALSE(TRegistry(TRootKey::rkLocalMachine).KeyExists(UninstallKeyRoot + Key));
  EXPECT_FALSE(UnregisterUninstall(Key));
  // Once gone, the next installation may write it again.
  EXPECT_TRUE(RegisterUninstall(Key, Key, "C:\\New\\", "Demo.exe"));
  EXPECT_EQ(Value("InstallLocation"), "C:\\New\\");
}

TEST_F(UninstallEntry, ADirectoryWithBlanksStillGivesRemoveAsTheFirstArgument) {
  ASSERT_TRUE(RegisterUninstall(Key, "My App", "C:\\Program Files\\My App\\", "My App.exe"));
  std::vector<std::string> words = SplitCommandLine(Value("UninstallString"));
  ASSERT_EQ(words.size(), 2u);
  EXPECT_EQ(words[0], "C:\\Program Files\\My App\\My App.exe");
  EXPECT_EQ(words[1], "/remove");
}
