#include "net/testing/KaHTTPConformance.h"

#include "net/testing/KaTestHTTPServer.h"
#include "net/testing/KaTestProxy.h"

#include <gmock/gmock.h>

#include <algorithm>

std::string HTTPBackEndName(const testing::TestParamInfo<THTTPBackEnd>& info) {
  return info.param.Name;
}

void TWorkRecorder::WorkChanged(const IWorkLevel& level) {
  Events.push_back("changed " + std::to_string(level.GetWorkID()) + " " +
                   std::to_string(level.GetPosition()) + "/" + std::to_string(level.GetMaximum()));
}

std::string EHTTPMessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EHTTP& e) {
    return e.Message();
  }
  return "(no EHTTP raised)";
}

std::vector<std::string> TWorkRecorder::Changes(int32_t workId) const {
  std::string prefix = "changed " + std::to_string(workId) + " ";
  std::vector<std::string> out;
  for (const std::string& e : Events)
    if (e.rfind(prefix, 0) == 0)
      out.push_back(e);
  return out;
}

namespace {

// Every byte value, in an order that repeats only after a long stretch, so a
// lost, doubled or moved block shows.
std::string BinaryBody(size_t size) {
  std::string body(size, '\0');
  for (size_t i = 0; i < size; ++i)
    body[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return body;
}

TTestReply Reply(int status, std::string body, std::string contentType = "") {
  TTestReply reply;
  reply.Status = status;
  reply.Body = std::move(body);
  reply.ContentType = std::move(contentType);
  return reply;
}

// The tracker is idle again when a fresh level starts work.
bool WorkIsIdle() {
  TWorkRecorder probe;
  Work().BeginWork(99, 0);
  Work().EndWork();
  return probe.Events == std::vector<std::string>{"started", "finished"};
}

void ExpectBalanced(const TWorkRecorder& recorder) {
  long started = std::count(recorder.Events.begin(), recorder.Events.end(), "started");
  long finished = std::count(recorder.Events.begin(), recorder.Events.end(), "finished");
  EXPECT_GE(started, 1);
  EXPECT_EQ(started, finished);
  ASSERT_FALSE(recorder.Events.empty());
  EXPECT_EQ(recorder.Events.back(), "finished");
  EXPECT_TRUE(WorkIsIdle()) << "a progress level was left open";
}

void UseProxy(IHTTP& http, const TTestProxy& proxy, const std::string& password) {
  IProxySettings& settings = http.GetProxySettings();
  settings.SetAuto(false);
  settings.SetHost(proxy.Host);
  settings.SetPort(proxy.Port);
  settings.SetUsername(proxy.UserName);
  settings.SetPassword(password);
}

} // namespace

TEST_P(HTTPConformance, GetWritesTheBodyByteExactAtTheTargetsPosition) {
  TTestHTTPServer server;
  const std::string body = BinaryBody(70001);
  for (auto framing :
       {TTestReply::TFraming::Length, TTestReply::TFraming::Chunked, TTestReply::TFraming::Close}) {
    TTestReply reply = Reply(200, body, "application/x-test-data");
    reply.Framing = framing;
    reply.PieceSize = 3000;
    reply.LastModified = "Sun, 06 Nov 1994 08:49:37 GMT";
    server.On("/data", reply);
    IHTTPPtr http = NewClient();
    TMemoryStream target("prefix");
    target.Seek(0, TSeekOrigin::soEnd);
    http->Get(server.URL("/data"), target);
    EXPECT_TRUE(target.Bytes() == "prefix" + body) << "framing " << static_cast<int>(framing);
    EXPECT_EQ(http->GetResponse().GetStatusCode(), 200);
    if (GetParam().CollectsContentType) {
      EXPECT_EQ(http->GetResponse().GetContentType(), "application/x-test-data");
    }
    EXPECT_EQ(http->GetResponse().GetLastModified().IsZero(), !GetParam().CollectsLastModified);
    EXPECT_TRUE(http->GetString(server.URL("/data")) == body);
  }
  server.On("/empty", Reply(200, ""));
  EXPECT_EQ(NewClient()->GetString(server.URL("/empty")), "");
}

namespace {

// A target that keeps nothing but a running check of what it got, and how:
// the receiving end of a download of any size.
class TPieceCounter : public TStream {
public:
  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Write(const void* buffer, int64_t count) override {
    auto* p = static_cast<const unsigned char*>(buffer);
    for (int64_t i = 0; i < count; ++i)
      Check = Check * 31 + p[i];
    Size += count;
    ++Pieces;
    Largest = std::max(Largest, count);
    return count;
  }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    return origin == TSeekOrigin::soBeginning ? offset : Size + offset;
  }
  int64_t GetSize() override { return Size; }
  void SetSize(int64_t) override {}

  uint64_t Check = 0;
  int64_t Size = 0;
  int64_t Pieces = 0;
  int64_t Largest = 0;
};

} // namespace

TEST_P(HTTPConformance, ALargeAnswerArrivesInLargePiecesIntoAStreamingTarget) {
  TTestHTTPServer server;
  const std::string body = BinaryBody(6 << 20);
  server.On("/large", [&](const TTestRequest&) { return Reply(200, body); });
  TPieceCounter expected;
  expected.Write(body.data(), static_cast<int64_t>(body.size()));

  IHTTPPtr http = NewClient();
  TMemoryStream source("request");
  TPieceCounter target;
  http->Post(server.URL("/large"), source, target);
  EXPECT_EQ(http->GetResponse().GetStatusCode(), 200);
  EXPECT_EQ(target.Size, expected.Size);
  EXPECT_EQ(target.Check, expected.Check);
  // Every read of a piece costs a call into the library and, under Wine, a
  // trip to its server: the pieces come in the back end's whole blocks, or
  // close to them.
  EXPECT_EQ(target.Largest, GetParam().ReadBlock) << target.Pieces << " pieces";
  EXPECT_LE(target.Pieces, 2 * expected.Size / GetParam().ReadBlock)
      << "largest " << target.Largest;
}

TEST_P(HTTPConformance, PostSendsTheSourceFromItsPositionAndKeepsTheConnection) {
  TTestHTTPServer server;
  server.On("/post", [](const TTestRequest& r) {
    return Reply(200, "got " + std::to_string(r.Body.size()) + " bytes", "text/plain");
  });
  const std::string body = BinaryBody(40000);
  IHTTPPtr http = NewClient();
  http->GetRequest().SetContentType("application/x-message");
  TMemoryStream source("SKIP ME" + body);
  source.SetPosition(7);
  TMemoryStream target;
  http->Post(server.URL("/post"), source, target);
  EXPECT_EQ(target.Bytes(), "got 40000 bytes");
  EXPECT_EQ(http->GetResponse().GetStatusCode(), 200);

  TMemoryStream small("tiny"), target2;
  http->Post(server.URL("/post"), small, target2);
  EXPECT_EQ(target2.Bytes(), "got 4 bytes");

  std::vector<TTestRequest> seen = server.Requests();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].Method, "POST");
  EXPECT_TRUE(seen[0].Body == body);
  EXPECT_EQ(seen[1].Body, "tiny");
  EXPECT_EQ(seen[0].Header("Content-Type"), GetParam().SendsRequestContentType
                                                ? "application/x-message"
                                                : "application/octet-stream");
  EXPECT_EQ(server.Connections(), 1) << "keep-alive: both requests on one connection";
}

TEST_P(HTTPConformance, GetAfterPostOnTheSameObjectSendsNoBody) {
  TTestHTTPServer server;
  server.On("/x", [](const TTestRequest& r) { return Reply(200, r.Method + ":" + r.Body); });
  IHTTPPtr http = NewClient();
  TMemoryStream source("payload"), target;
  http->Post(server.URL("/x"), source, target);
  EXPECT_EQ(target.Bytes(), "POST:payload");
  EXPECT_EQ(http->GetString(server.URL("/x")), "GET:");
  TTestRequest get = server.Requests().back();
  EXPECT_EQ(get.Method, "GET");
  EXPECT_TRUE(get.Header("Content-Length").empty() || get.Header("Content-Length") == "0");
}

TEST_P(HTTPConformance, ErrorStatusesReachTheCallerWithTheirBodies) {
  TTestHTTPServer server;
  server.On("/gone", Reply(404, "no such thing", "text/plain"));
  server.On("/broken", Reply(500, "it broke"));
  IHTTPPtr http = NewClient();
  TMemoryStream target;
  http->Get(server.URL("/gone"), target);
  EXPECT_EQ(http->GetResponse().GetStatusCode(), 404);
  EXPECT_EQ(target.Bytes(), "no such thing");
  EXPECT_EQ(http->GetString(server.URL("/broken")), "it broke");
  EXPECT_EQ(http->GetResponse().GetStatusCode(), 500);
  TMemoryStream source("x"), target2;
  http->Post(server.URL("/gone"), source, target2);
  EXPECT_EQ(http->GetResponse().GetStatusCode(), 404);
  EXPECT_EQ(target2.Bytes(), "no such thing");
}

TEST_P(HTTPConformance, ALimitedTargetRefusesAnAnswerBeyondItsLimit) {
  TTestHTTPServer server;
  // A head claiming 3 GB: refused before any byte of the body is stored.
  TTestReply claims = Reply(200, "small body");
  claims.Framing = TTestReply::TFraming::Close;
  claims.Headers = {{"Content-Length", "3000000000"}};
  server.On("/claims", claims);
  // No length at all: the body is cut where it passes the limit.
  TTestReply endless = Reply(200, BinaryBody(50000));
  endless.Framing = TTestReply::TFraming::Close;
  endless.PieceSize = 4000;
  server.On("/endless", endless);
  server.On("/fits", Reply(200, BinaryBody(1000)));

  for (const char* path : {"/claims", "/endless"}) {
    IHTTPPtr http = NewClient();
    TMemoryStream source("request"), answer;
    TLimitedStream target(answer, 1000);
    EXPECT_THROW(http->Post(server.URL(path), source, target), EHTTP) << path;
    EXPECT_TRUE(target.Overflowed()) << path;
    EXPECT_LE(answer.GetSize(), 1000) << path;
    if (std::string(path) == "/claims") {
      EXPECT_EQ(answer.GetSize(), 0) << "refused by its head";
    }
    EXPECT_TRUE(WorkIsIdle()) << path;
  }
  IHTTPPtr http = NewClient();
  TMemoryStream source("request"), answer;
  TLimitedStream target(answer, 1000);
  http->Post(server.URL("/fits"), source, target);
  EXPECT_TRUE(answer.Bytes() == BinaryBody(1000));
  EXPECT_FALSE(target.Overflowed());
}

TEST_P(HTTPConformance, HeadAsTheBackEndOffersIt) {
  TTestHTTPServer server;
  server.On("/h", Reply(200, "body not sent"));
  IHTTPPtr http = NewClient();
  if (GetParam().SupportsHead) {
    http->Head(server.URL("/h"));
    EXPECT_EQ(http->GetResponse().GetStatusCode(), 200);
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].Method, "HEAD");
    // The connection is still in step: the next answer is the right one.
    EXPECT_EQ(http->GetString(server.URL("/h")), "body not sent");
  } else {
    EXPECT_EQ(EHTTPMessageOf([&] { http->Head(server.URL("/h")); }), "HEAD not implemented!");
    EXPECT_TRUE(server.Requests().empty());
  }
}

TEST_P(HTTPConformance, ProgressOpensReceiveAndSendLevelsAndClosesThem) {
  TTestHTTPServer server;
  TTestReply slow = Reply(200, BinaryBody(10000));
  slow.PieceSize = 2000;
  slow.PieceDelayMs = 5;
  server.On("/slow", slow);
  server.On("/echo", [](const TTestRequest& r) { return Reply(200, r.Body); });
  IHTTPPtr http = NewClient();
  {
    TWorkRecorder recorder;
    TMemoryStream target;
    http->Get(server.URL("/slow"), target);
    std::vector<std::string> received = recorder.Changes(WorkReceive);
    ASSERT_GE(received.size(), 2u);
    EXPECT_EQ(received.front(), "changed 1 0/10000");
    EXPECT_EQ(received.back(), "changed 1 10000/10000");
    EXPECT_EQ(std::count(recorder.Events.begin(), recorder.Events.end(), received.back()), 1)
        << "the receiving level is closed once";
    if (GetParam().OpensRequestLevel) {
      EXPECT_EQ(std::count(recorder.Events.begin(), recorder.Events.end(), "started"), 1);
    }
    ExpectBalanced(recorder);
  }
  {
    TWorkRecorder recorder;
    TMemoryStream source("--" + BinaryBody(5000)), target;
    source.SetPosition(2);
    http->Post(server.URL("/echo"), source, target);
    std::vector<std::string> sent = recorder.Changes(WorkSend);
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent.front(), "changed 2 0/5000");
    EXPECT_EQ(sent.back(), "changed 2 5000/5000");
    EXPECT_EQ(recorder.Changes(WorkReceive).back(), "changed 1 5000/5000");
    ExpectBalanced(recorder);
  }
  {
    // No length announced: the level is not measured, and still closed.
    TTestReply chunked = Reply(200, BinaryBody(6000));
    chunked.Framing = TTestReply::TFraming::Chunked;
    chunked.PieceSize = 1000;
    server.On("/chunked", chunked);
    TWorkRecorder recorder;
    EXPECT_EQ(http->GetString(server.URL("/chunked")).size(), 6000u);
    for (const std::string& e : recorder.Changes(WorkReceive))
      EXPECT_THAT(e, testing::EndsWith("/0"));
    ExpectBalanced(recorder);
  }
  {
    TWorkRecorder recorder;
    TMemoryStream empty, target;
    http->Post(server.URL("/echo"), empty, target);
    EXPECT_EQ(target.GetSize(), 0);
    ExpectBalanced(recorder);
  }
}

TEST_P(HTTPConformance, ResetConnectionIsRetriedForGetOrRaised) {
  TTestHTTPServer server;
  int calls = 0;
  server.On("/flaky", [&calls](const TTestRequest&) {
    TTestReply reply = Reply(200, "second time lucky");
    reply.Reset = ++calls == 1;
    return reply;
  });
  TTestReply reset;
  reset.Reset = true;
  server.On("/reset", reset);
  IHTTPPtr http = NewClient();
  if (GetParam().RetriesGetAfterReset) {
    EXPECT_EQ(http->GetString(server.URL("/flaky")), "second time lucky");
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(server.Connections(), 2);
  } else {
    TMemoryStream target;
    EXPECT_THROW(http->Get(server.URL("/flaky"), target), EHTTP);
    EXPECT_TRUE(WorkIsIdle());
  }
  TMemoryStream source("body"), target;
  EXPECT_THROW(http->Post(server.URL("/reset"), source, target), Exception)
      << "status " << http->GetResponse().GetStatusCode() << ", body " << target.Bytes();
  EXPECT_TRUE(WorkIsIdle());
}

TEST_P(HTTPConformance, RequestsGoThroughTheAuthenticatingProxy) {
  TTestProxy proxy;
  std::string reason;
  ASSERT_TRUE(FindTestProxy(proxy, reason)) << reason;
  TTestHTTPServer server;
  const std::string body = BinaryBody(20000);
  server.On("/via", Reply(200, body));
  server.On("/echo", [](const TTestRequest& r) { return Reply(200, "echo:" + r.Body); });

  IHTTPPtr http = NewClient();
  UseProxy(*http, proxy, proxy.Password);
  EXPECT_TRUE(http->GetString(server.URL("/via")) == body);
  EXPECT_EQ(http->GetResponse().GetStatusCode(), 200);
  size_t expected = 1;
  if (!GetParam().LosesChallengeUnderBody) {
    // A body that has to go out again after the proxy's challenge starts
    // again where the caller's stream stood.
    TMemoryStream source("##" + body), target;
    source.SetPosition(2);
    http->Post(server.URL("/echo"), source, target);
    EXPECT_EQ(http->GetResponse().GetStatusCode(), 200);
    EXPECT_TRUE(target.Bytes() == "echo:" + body);
    ++expected;
  }
  size_t reached = server.Requests().size();
  EXPECT_EQ(reached, expected);

  // tinyproxy turns wrong credentials away with 401 (no credentials with
  // 407) and may close the connection under a body it has not read: either
  // way the refusal reaches the caller, never a success.
  IHTTPPtr wrong = NewClient();
  UseProxy(*wrong, proxy, "not-the-password");
  auto refused = [&](const std::function<void()>& request) {
    try {
      request();
    } catch (const Exception&) {
      return true;
    }
    int32_t status = wrong->GetResponse().GetStatusCode();
    return status == 401 || status == 407;
  };
  TMemoryStream t1;
  EXPECT_TRUE(refused([&] { wrong->Get(server.URL("/via"), t1); }));
  EXPECT_EQ(wrong->GetResponse().GetStatusCode() / 100, 4);
  TMemoryStream s2("data"), t2;
  EXPECT_TRUE(refused([&] { wrong->Post(server.URL("/echo"), s2, t2); }));
  EXPECT_EQ(server.Requests().size(), reached) << "nothing passed the proxy";
}

// A proxy that reads every request whole before it answers and keeps the
// connection open, so the challenge always reaches the client: a back end
// must answer it with the stored Basic credentials, for a POST as for a GET.
TEST_P(HTTPConformance, ABasicProxyThatReadsTheBodyGetsTheCredentials) {
  TTestHTTPServer proxy; // the proxy answers as the origin too
  proxy.RequireProxyCredentials("wsproxy", "pa:ss word");
  proxy.On("/echo", [](const TTestRequest& r) { return Reply(200, "echo:" + r.Body); });
  const std::string expected = TTestHTTPServer::BasicCredentials("wsproxy", "pa:ss word");
  const std::string body = BinaryBody(5000);
  auto viaProxy = [&](const std::string& password) {
    IHTTPPtr http = NewClient();
    TTestProxy settings;
    settings.Port = proxy.Port();
    UseProxy(*http, settings, password);
    http->GetProxySettings().SetUsername("wsproxy");
    return http;
  };

  IHTTPPtr http = viaProxy("pa:ss word");
  TMemoryStream source("##" + body), target;
  source.SetPosition(2);
  http->Post(proxy.URL("/echo"), source, target);
  EXPECT_EQ(http->GetResponse().GetStatusCode(), 200);
  EXPECT_TRUE(target.Bytes() == "echo:" + body) << target.Bytes().substr(0, 60);
  std::vector<TTestRequest> seen = proxy.Requests();
  ASSERT_FALSE(seen.empty());
  EXPECT_LE(seen.size(), 2u) << "one challenge, one answer to it";
  EXPECT_EQ(seen.back().Header("Proxy-Authorization"), expected);
  for (const TTestRequest& r : seen)
    EXPECT_TRUE(r.Body == body) << "every attempt carries the whole body";

  EXPECT_EQ(http->GetString(proxy.URL("/echo")), "echo:");
  EXPECT_EQ(proxy.Requests().back().Header("Proxy-Authorization"), expected);

  // Wrong credentials: the refusal reaches the caller, never a success.
  size_t before = proxy.Requests().size();
  IHTTPPtr wrong = viaProxy("wrong");
  TMemoryStream again(body), refused;
  wrong->Post(proxy.URL("/echo"), again, refused);
  EXPECT_EQ(wrong->GetResponse().GetStatusCode(), 407);
  EXPECT_EQ(refused.Bytes(), "proxy credentials needed");
  EXPECT_LE(proxy.Requests().size() - before, 2u);
}
