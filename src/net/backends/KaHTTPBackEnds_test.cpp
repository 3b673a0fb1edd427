#include "net/backends/KaHTTPBackEnds.h"

#include "base/KaRegistry.h"
#include "net/KaConnection.h"
#include "net/KaHTTP.h"
#include "net/testing/KaNetTesting.h"
#include "net/curl/KaHTTP_libcurl.h"
#include "net/indy/KaHTTP_indy.h"
#include "net/testing/KaTestHTTPServer.h"

#include <gtest/gtest.h>

namespace {
struct TRegistered {
  const char* Name;
  bool (*IsIt)(const IHTTPPtr&);
};

template <class T> bool Is(const IHTTPPtr& http) {
  return std::dynamic_pointer_cast<T>(http) != nullptr;
}
} // namespace

TEST(KaHTTPBackEnds, EachNameBuildsItsClassAndRegisteringTwiceChangesNothing) {
  RegisterHTTPBackEnds();
  RegisterHTTPBackEnds();
  auto& factory = dynamic_cast<THTTPFactory&>(HTTPFactory());
  for (const TRegistered& r :
       {TRegistered{"Indy", &Is<TKaHTTP_indy>}, TRegistered{"LIBCURL", &Is<TKaHTTPCurl>}}) {
    THTTPClass found = factory.Find(r.Name);
    ASSERT_TRUE(found) << r.Name;
    EXPECT_TRUE(r.IsIt(found())) << r.Name;
  }
}

TEST(KaHTTPBackEnds, TheStoredChoiceSelectsTheBackEnd) {
  RegisterHTTPBackEnds();
  TRegistry reg(TRootKey::rkLocalMachine);
  ASSERT_TRUE(reg.OpenKey(InternetSettingsKey, true));
  reg.WriteString("lib", "libcurl");
  EXPECT_TRUE(Is<TKaHTTPCurl>(HTTPFactory().CreateHTTP()));
  reg.WriteString("lib", "no such back end");
  EXPECT_TRUE(Is<TKaHTTP_indy>(HTTPFactory().CreateHTTP()));
  reg.DeleteValue("lib");
  reg.CloseKey();
}

// What the internet settings dialog writes for a manual proxy that asks for
// Basic credentials, taken the whole way: the factory reads the settings, the
// back end goes through a proxy that reads every request whole before it
// answers and keeps the connection, and the connection's calls (POSTs, the
// first opening the session) pass, each back end of the build in turn.
TEST(KaHTTPBackEnds, ACallPassesTheBasicProxyTheSettingsName) {
  RegisterHTTPBackEnds();
  TTestHTTPServer proxy; // the update server behind it is the same object
  proxy.RequireProxyCredentials("ws user", "pass:word");
  TTestReply pong;
  pong.Body = AnswerBody(0, 0, 0, "", WireString("pong"));
  pong.ContentType = "application/octet-stream";
  proxy.On("/cgi-bin/RUzodi", pong);
  auto& factory = dynamic_cast<THTTPFactory&>(HTTPFactory());
  int tried = 0;
  for (const char* lib : {"Indy", "libcurl", "WinInet"}) {
    if (!factory.Find(lib))
      continue; // not a back end of this platform
    ++tried;
    TInternetSettingsScope settings;
    settings.Write("lib", lib);
    settings.Write("method", "manual");
    settings.Write("proxy-host", "127.0.0.1");
    settings.Write("proxy-port", static_cast<uint32_t>(proxy.Port()));
    settings.Write("proxy-username", "ws user");
    settings.Write("proxy-password", "pass:word");
    const size_t before = proxy.Requests().size();

    TConnection connection;
    connection.SetHost("127.0.0.1:" + std::to_string(proxy.Port()));
    connection.SetPath("/cgi-bin/RUzodi");
    IMessagePtr ping = connection.NewMessage("test:ping");
    ASSERT_NO_THROW(connection.Call(ping)) << lib;
    EXPECT_EQ(ping->ReadString(), "pong") << lib;

    std::vector<TTestRequest> seen = proxy.Requests();
    ASSERT_GT(seen.size(), before) << lib;
    EXPECT_LE(seen.size() - before, 4u) << lib << ": \"hi!\" and the call, each challenged once";
    EXPECT_EQ(seen.back().Header("Proxy-Authorization"),
              TTestHTTPServer::BasicCredentials("ws user", "pass:word"))
        << lib;
  }
  EXPECT_GE(tried, 2);
}
