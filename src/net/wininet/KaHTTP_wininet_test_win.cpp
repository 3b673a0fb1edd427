#include "net/testing/KaHTTPConformance.h"
#include "net/testing/KaTestHTTPServer.h"
#include "net/wininet/KaHTTP_wininet.h"

#include <gmock/gmock.h>

INSTANTIATE_TEST_SUITE_P(WinInet, HTTPConformance,
                         testing::Values(THTTPBackEnd{
                             .Name = "WinInet",
                             .Create = HTTPClassOf<TKaHTTP_wininet>(),
                             .SendsRequestContentType = true,
                             .OpensRequestLevel = true,
                             .LosesChallengeUnderBody = true,
                             // A read takes no more than has arrived, so
                             // that a trickle is noticed, and Wine's WinInet
                             // keeps 8 KB of an answer between reads.
                             .ReadBlock = 8 * 1024,
                         }),
                         HTTPBackEndName);

TEST(KaHTTPWinInet, OnlyHTTPURLsAreAccepted) {
  TKaHTTP_wininet http;
  TMemoryStream source("x"), target;
  EXPECT_EQ(EHTTPMessageOf([&] { http.GetString("ftp://127.0.0.1/file"); }),
            "Invalid URL: ftp://127.0.0.1/file!");
  EXPECT_EQ(EHTTPMessageOf([&] { http.Post("ftp://127.0.0.1/file", source, target); }),
            "Invalid URL: ftp://127.0.0.1/file!");
  EXPECT_THAT(EHTTPMessageOf([&] { http.GetString(""); }),
              testing::StartsWith("InternetConnect failed! Code "));
}

TEST(KaHTTPWinInet, WithAutoTheStoredProxyHostIsIgnored) {
  TTestHTTPServer server;
  TTestReply reply;
  reply.Body = "direct";
  server.On("/d", reply);
  TKaHTTP_wininet http;
  http.GetProxySettings().SetAuto(true);
  http.GetProxySettings().SetHost("127.0.0.1");
  http.GetProxySettings().SetPort(1); // nothing listens there
  EXPECT_EQ(http.GetString(server.URL("/d")), "direct");
}

TEST(KaHTTPWinInet, ASecondChallengeReachesTheCallerWithItsBody) {
  TTestHTTPServer server;
  int calls = 0;
  server.On("/auth", [&calls](const TTestRequest&) {
    TTestReply reply;
    reply.Status = 407;
    reply.Body = "denied " + std::to_string(++calls);
    return reply;
  });
  TKaHTTP_wininet http;
  http.GetProxySettings().SetUsername("user");
  http.GetProxySettings().SetPassword("pass");
  TMemoryStream target;
  http.Get(server.URL("/auth"), target);
  EXPECT_EQ(http.GetResponse().GetStatusCode(), 407);
  EXPECT_EQ(target.Bytes(), "denied 2") << "the first challenge's body is not delivered";
  EXPECT_EQ(calls, 2);
  TMemoryStream source("--body"), target2;
  source.SetPosition(2);
  http.Post(server.URL("/auth"), source, target2);
  EXPECT_EQ(target2.Bytes(), "denied 4");
  std::vector<TTestRequest> seen = server.Requests();
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[2].Body, "body");
  EXPECT_EQ(seen[3].Body, "body") << "the retry sends the same rest of the source";
}
