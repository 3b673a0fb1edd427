#include "net/indy/KaHTTP_indy.h"
#include "net/testing/KaHTTPConformance.h"
#include "net/testing/KaTestHTTPServer.h"

#include <gmock/gmock.h>

INSTANTIATE_TEST_SUITE_P(Indy, HTTPConformance,
                         testing::Values(THTTPBackEnd{
                             .Name = "Indy",
                             .Create = HTTPClassOf<TKaHTTP_indy>(),
                             .SupportsHead = true,
                             .CollectsContentType = true,
                             .CollectsLastModified = true,
                             .SendsRequestContentType = true,
                             .RetriesGetAfterReset = true,
                             .ReadBlock = TKaHTTP_indy::ReadBlock,
                         }),
                         HTTPBackEndName);

namespace {
TTestReply Plain(std::string body) {
  TTestReply reply;
  reply.Body = std::move(body);
  return reply;
}
} // namespace

TEST(KaHTTPIndy, ResponseCarriesLastModifiedAndNoContentLength) {
  TTestHTTPServer server;
  TTestReply reply = Plain("dated");
  reply.LastModified = "Sun, 06 Nov 1994 08:49:37 GMT";
  reply.ContentType = "text/plain";
  server.On("/dated", reply);
  server.On("/undated", Plain("x"));
  TKaHTTP_indy http;
  EXPECT_EQ(http.GetString(server.URL("/dated")), "dated");
  EXPECT_EQ(http.GetResponse().GetLastModified(),
            UTCToLocal(EncodeDateTime({1994, 11, 6, 8, 49, 37})));
  EXPECT_EQ(http.GetResponse().GetContentType(), "text/plain");
  EXPECT_EQ(http.GetResponse().GetContentLength(), 0);
  http.Head(server.URL("/dated"));
  EXPECT_FALSE(http.GetResponse().GetLastModified().IsZero());
  http.GetString(server.URL("/undated"));
  EXPECT_TRUE(http.GetResponse().GetLastModified().IsZero());
}

TEST(KaHTTPIndy, GetRetryIsBoundedAndRestoresTheTarget) {
  TTestHTTPServer server;
  int calls = 0;
  server.On("/down", [&calls](const TTestRequest&) {
    ++calls;
    TTestReply reply;
    reply.Reset = true;
    return reply;
  });
  TKaHTTP_indy http;
  TMemoryStream target("keep");
  target.Seek(0, TSeekOrigin::soEnd);
  try {
    http.Get(server.URL("/down"), target);
    ADD_FAILURE() << "a server that always resets was reported as success";
  } catch (const EIdSocketError& e) {
    EXPECT_EQ(e.Message(), "Socket Error # 10054\r\nConnection reset by peer.");
    EXPECT_STREQ(e.ClassName(), "EIdSocketError");
  }
  EXPECT_EQ(calls, TKaHTTP_indy::GetAttempts);
  EXPECT_EQ(server.Connections(), TKaHTTP_indy::GetAttempts);
  EXPECT_EQ(target.Bytes(), "keep");
  EXPECT_EQ(http.GetResponse().GetStatusCode(), -1) << "no response came";
}

// A peer that drops a kept-alive connection just as the next request goes
// out (as tinyproxy does after every answer) costs that request nothing: it
// goes out again, whole, on a fresh connection. A drop on a fresh connection
// stays the caller's failure.
TEST(KaHTTPIndy, ARequestOnAConnectionDroppedBetweenExchangesGoesOutAgain) {
  TTestHTTPServer server;
  server.On("/first", Plain("kept"));
  int calls = 0;
  server.On("/echo", [&calls](const TTestRequest& r) {
    TTestReply reply = Plain("echo:" + r.Body);
    reply.Reset = ++calls == 1;
    return reply;
  });
  TTestReply reset;
  reset.Reset = true;
  server.On("/reset", reset);

  TKaHTTP_indy http;
  EXPECT_EQ(http.GetString(server.URL("/first")), "kept");
  TMemoryStream source("##payload"), target;
  source.SetPosition(2);
  http.Post(server.URL("/echo"), source, target);
  EXPECT_EQ(target.Bytes(), "echo:payload");
  EXPECT_EQ(http.GetResponse().GetStatusCode(), 200);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(server.Connections(), 2);
  std::vector<TTestRequest> requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[1].Body, "payload");
  EXPECT_EQ(requests[2].Body, "payload")
      << "the second attempt starts where the caller's stream stood";

  TKaHTTP_indy fresh;
  TMemoryStream once("x"), nothing;
  EXPECT_THROW(fresh.Post(server.URL("/reset"), once, nothing), EIdSocketError);
  EXPECT_EQ(server.Connections(), 3);
  EXPECT_EQ(server.Requests().size(), 4u);
}

TEST(KaHTTPIndy, ARetriedGetDropsWhatTheBrokenAttemptWrote) {
  TTestHTTPServer server;
  int calls = 0;
  const std::string body(50000, 'b');
  server.On("/half", [&](const TTestRequest&) {
    TTestReply reply = Plain(body);
    // The first answer announces the whole body, sends part of it and stops.
    if (++calls == 1) {
      reply.Framing = TTestReply::TFraming::Close;
      reply.Headers.emplace_back("Content-Length", std::to_string(body.size() * 2));
    }
    return reply;
  });
  TKaHTTP_indy http;
  TMemoryStream target;
  http.Get(server.URL("/half"), target);
  EXPECT_EQ(calls, 2);
  EXPECT_TRUE(target.Bytes() == body);
}

TEST(KaHTTPIndy, RefusedConnectionIsASocketErrorWithTheStatusOfNoResponse) {
  int port = 0;
  {
    TTestHTTPServer gone;
    port = gone.Port();
  }
  TKaHTTP_indy http;
  try {
    http.GetString("http://127.0.0.1:" + std::to_string(port) + "/");
    ADD_FAILURE() << "nothing raised";
  } catch (const EIdSocketError& e) {
    EXPECT_EQ(e.Message(), "Socket Error # 10061\r\nConnection refused.");
  }
  EXPECT_EQ(http.GetResponse().GetStatusCode(), -1);
  EXPECT_THROW(http.GetString("ftp://127.0.0.1/x"), EHTTP);
}

TEST(KaHTTPIndy, WithoutAProxyHostTheSameObjectGoesDirect) {
  TTestHTTPServer server;
  server.On("/d", Plain("direct"));
  TKaHTTP_indy http;
  http.GetProxySettings().SetHost("127.0.0.1");
  http.GetProxySettings().SetPort(1); // nothing listens there
  EXPECT_THROW(http.GetString(server.URL("/d")), EIdSocketError);
  http.GetProxySettings().SetHost("");
  EXPECT_EQ(http.GetString(server.URL("/d")), "direct");
  EXPECT_EQ(server.Requests().back().Target, "/d") << "asked as of the server, not of a proxy";
}
