#include "setup/LauncherCheck.h"

#include "base/KaCrypto.h"
#include "base/KaFiles.h"
#include "base/KaStreams.h"
#include "base/KaText.h"
#include "model/VoReleaseSeal.h"
#include "model/testing/VoTesting.h"
#include "net/testing/KaNetTesting.h"
#include "setup/testing/TrustScope.h"

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
    // "123456789": size 9, CRC 3421780262.
    TMemoryStream(std::string("123456789")).SaveToFile(Dir + "app.txt");
  }
  void AnswerProduct(const std::string& manifest) {
    Script.Answers.push_back({200, AnswerBody(0, 0, 0, ""), std::nullopt});
    Script.Answers.push_back(
        {200, AnswerBody(0, 0, 0, "", WireString("Demo") + WireString(manifest)), std::nullopt});
  }

  TInternetSettingsScope Settings;
  THTTPScript& Script = HTTPScript();
  TProductInfo Product{"updates.example"};
  // One directory per test: the runner starts the tests of this file side by side.
  TScratchDir Scratch;
  const std::string& Dir = Scratch.Path;
  std::string ErrorText;
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

namespace {

// The launcher of a setup.exe stamped with the vendor's key.
class SignedLauncherCheckTest : public LauncherCheckTest {
protected:
  std::string Signed(int64_t number, int64_t expires = 0, const TEd25519KeyPair& key = Vendor,
                     const std::string& name = "Demo") {
    TVoReleaseSeal seal;
    seal.Number = number;
    seal.Expires = expires;
    seal.DisplayName = name;
    seal.Contents[7] = {9, Sha256("123456789")};
    return SignManifest(Manifest("|-7,9,3421780262,00000000000000000,0,app.txt\r\n"), seal,
                        key.SecretKey);
  }
  TStartMode Check(const std::string& manifest) {
    Product.CreateConnection();
    Script.Reset();
    ErrorText.clear();
    AnswerProduct(manifest);
    return RunLauncherCheck(Product, Dir, ErrorText);
  }
  std::string Record() const {
    return FileExists(Dir + "Demo.release") ? ReadFile(Dir + "Demo.release") : "(none)";
  }
  static std::string ReadFile(const std::string& name) {
    TMemoryStream data;
    data.LoadFromFile(name);
    return data.Bytes();
  }

  static inline const TEd25519KeyPair Vendor = Ed25519KeyPairFromSeed(std::string(32, 'v'));
  TTrustScope Trust{Vendor.PublicKey};
};

} // namespace

TEST_F(SignedLauncherCheckTest, EachRefusalShowsItsOwnTextAndStartsNothing) {
  const std::string app = ReadFile(Dir + "app.txt");
  const TEd25519KeyPair stranger = Ed25519KeyPairFromSeed(std::string(32, 's'));
  std::string altered = Signed(4);
  altered[altered.find("payloadName=demo") + 12] = 'D';
  const struct {
    std::string Manifest, Error;
  } refused[] = {
      {Manifest("|-7,9,3421780262,00000000000000000,0,app.txt\r\n"), ReleaseSignatureError},
      {altered, ReleaseSignatureError},
      {Signed(4, 0, stranger), ReleaseSignatureError},
      {Signed(4, 0, Vendor, "Demo Deluxe"), ReleaseSignatureError},
      {Signed(4, CurrentUnixTime() - 1), ReleaseExpiredError},
  };
  for (const auto& r : refused) {
    EXPECT_EQ(Check(r.Manifest), TStartMode::smError);
    EXPECT_EQ(ErrorText, r.Error);
    EXPECT_FALSE(Product.ProductInfoValid()) << "the refused values are not kept";
    EXPECT_EQ(Record(), "(none)");
  }

  // The vendor's release is taken and remembered; an older one is refused.
  EXPECT_EQ(Check(Signed(4, CurrentUnixTime() + 3600)), TStartMode::smLaunch);
  EXPECT_TRUE(ErrorText.empty());
  EXPECT_EQ(Record(), "4");
  Product = TProductInfo("updates.example");
  EXPECT_EQ(Check(Signed(3)), TStartMode::smError);
  EXPECT_EQ(ErrorText, ReleaseRollbackError);
  EXPECT_EQ(Record(), "4");
  EXPECT_EQ(ReadFile(Dir + "app.txt"), app);
  RemoveFile(Dir + "Demo.release");
}
