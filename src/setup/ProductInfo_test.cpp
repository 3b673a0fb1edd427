#include "setup/ProductInfo.h"

#include "base/KaText.h"
#include "net/KaConnection.h"
#include "net/KaHostSlot.h"
#include "net/KaMessage.h"
#include "net/testing/KaNetTesting.h"

#include <gmock/gmock.h>

namespace {

const std::string Dashes(32, '-');

std::string Request(uint8_t sequence, const std::string& command) {
  return WireString(Dashes) + static_cast<char>(sequence) + WireString(command);
}

std::string ProductAnswer(const std::u16string& name, const std::string& manifest) {
  return AnswerBody(0, 0, 0, "", WireString(WideToUtf8(name)) + WireString(manifest));
}

class ProductInfoTest : public testing::Test {
protected:
  ProductInfoTest() {
    Settings.Write("lib", THTTPScript::LibName);
    Script.Reset();
    Info.CreateConnection();
  }
  void Answer(const std::string& body) { Script.Answers.push_back({200, body, std::nullopt}); }

  TInternetSettingsScope Settings;
  THTTPScript& Script = HTTPScript();
  TProductInfo Info{"updates.example:8080"};
};

const std::string Manifest = "[product]\r\nappName=Demo.exe\r\n";

TEST_F(ProductInfoTest, FetchesNameAndManifestOnce) {
  EXPECT_FALSE(Info.ProductInfoValid());
  Answer(AnswerBody(0, 0, 0, ""));
  Answer(ProductAnswer(u"Demo \u00e9\u20ac", Manifest));
  Info.FetchProductInfo();
  EXPECT_TRUE(Info.ProductInfoValid());
  EXPECT_EQ(Info.ProductName(), u"Demo \u00e9\u20ac");
  EXPECT_EQ(Info.ManifestText(), Manifest);
  ASSERT_EQ(Script.Posts.size(), 2u);
  EXPECT_EQ(Script.Posts[0].Body, Request(0, "hi!"));
  EXPECT_EQ(Script.Posts[1].Body, Request(0, "admin:getProductInfo"));
  EXPECT_EQ(Script.Posts[1].Url, "http://updates.example:8080/cgi-bin/RUzodi");

  // Neither a second request nor a new connection asks again, and the
  // values stay.
  Info.FetchProductInfo();
  Info.CreateConnection();
  Info.FetchProductInfo();
  EXPECT_EQ(Script.Posts.size(), 2u);
  EXPECT_EQ(Info.ProductName(), u"Demo \u00e9\u20ac");
  EXPECT_EQ(Info.ManifestText(), Manifest);
}

TEST_F(ProductInfoTest, FailureThenNewConnectionStartsANewSession) {
  Answer(AnswerBody(0, 0, 0, ""));
  Answer(AnswerBody(1, 0, 0, "", WireString("No product")));
  EXPECT_THAT([&] { Info.FetchProductInfo(); },
              testing::ThrowsMessage<ERemoteException>(testing::StrEq("No product")));
  EXPECT_FALSE(Info.ProductInfoValid());

  Info.CreateConnection();
  Answer(AnswerBody(0, 0, 0, ""));
  Answer(ProductAnswer(u"Demo", Manifest));
  Info.FetchProductInfo();
  EXPECT_TRUE(Info.ProductInfoValid());
  EXPECT_EQ(Script.Created, 2);
  ASSERT_EQ(Script.Posts.size(), 4u);
  EXPECT_EQ(Script.Posts[2].Body, Request(0, "hi!"));
  EXPECT_EQ(Script.Posts[3].Body, Request(0, "admin:getProductInfo"));
}

TEST_F(ProductInfoTest, AnswerEndingAfterTheNameFails) {
  Answer(AnswerBody(0, 0, 0, ""));
  Answer(AnswerBody(0, 0, 0, "", WireString("Demo")));
  EXPECT_THAT([&] { Info.FetchProductInfo(); },
              testing::ThrowsMessage<EMessage>(testing::StrEq("$(Buffer is empty)!")));
  EXPECT_FALSE(Info.ProductInfoValid());
  EXPECT_EQ(Info.ProductName(), u"");
  EXPECT_EQ(Info.ManifestText(), "");
}

TEST_F(ProductInfoTest, ConnectionGoesToTheSlotsHostAndCanBeReleased) {
  TProductInfo info;
  EXPECT_EQ(info.Connection(), nullptr);
  info.CreateConnection();
  ASSERT_NE(info.Connection(), nullptr);
  EXPECT_EQ(info.Connection()->GetHost(), ServerHost());
  EXPECT_EQ(info.Connection()->GetPath(), "/cgi-bin/RUzodi");
  info.ReleaseConnection();
  EXPECT_EQ(info.Connection(), nullptr);
  EXPECT_THROW(info.FetchProductInfo(), EConnection);
  EXPECT_TRUE(Script.Posts.empty());
}

} // namespace
