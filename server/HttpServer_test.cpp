#include "server/HttpServer.h"

#include "base/KaHandle.h"
#include "net/KaConnection.h"
#include "net/backends/KaHTTPBackEnds.h"
#include "server/testing/LoopbackClient.h"
#include "server/testing/ServerTesting.h"

#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

const std::string Secret(32, 'h');
constexpr int64_t Hour = 3600;

std::string Blob(size_t size, int seed) {
  std::string bytes(size, '\0');
  uint32_t x = static_cast<uint32_t>(seed) * 2654435761u + 1;
  for (char& c : bytes) {
    x = x * 1664525u + 1013904223u;
    c = static_cast<char>(x >> 24);
  }
  return bytes;
}

class HttpServerTest : public testing::Test {
protected:
  HttpServerTest()
      : Store(Temp.Dir()), Sessions(Secret, Hour),
        Service(Store, Sessions, [this] { return Now.load(); }), LogFile(std::tmpfile()),
        Log(LogFile.Get()) {
    RegisterHTTPBackEnds();
    Temp.Publish(1, "Product", "[installer]\r\nappName=Product\r\n");
    Temp.AddBlob(1, "one");
    Temp.AddBlob(2, Blob(300 * 1024, 2));
  }
  ~HttpServerTest() override { Server.reset(); }

  void Start(TServerOptions options = {}) {
    options.Port = Port;
    options.Threads = 2;
    Server = std::make_unique<THttpServer>(Service, Log, options);
    Port = Server->Port();
    Server->Start();
  }

  IConnectionPtr Connect() {
    auto c = std::make_shared<TConnection>();
    c->SetHost("127.0.0.1:" + std::to_string(Port));
    c->SetPath(THttpServer::Path);
    return c;
  }

  std::string GetFile(IConnection& c, int32_t id) {
    IMessagePtr m = c.NewMessage(TUpdateService::GetFile);
    m->WriteInteger(id);
    c.Call(m);
    return m->ReadString();
  }

  std::string LogText() {
    std::fflush(LogFile.Get());
    std::rewind(LogFile.Get());
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, LogFile.Get())) > 0)
      text.append(buffer, n);
    return text;
  }

  int CountInLog(const std::string& what) {
    std::string text = LogText();
    int count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
      ++count;
    return count;
  }

  // The server logs a request once its answer has gone out, so a client may
  // read the answer before the line is there: waits for `count` of them.
  int AwaitInLog(const std::string& what, int count) {
    for (auto until = std::chrono::steady_clock::now() + 5s;
         CountInLog(what) < count && std::chrono::steady_clock::now() < until;)
      std::this_thread::sleep_for(10ms);
    return CountInLog(what);
  }

  // The first log line that holds `what`, waiting for it a while.
  std::string AwaitLogLine(const std::string& what) {
    for (auto until = std::chrono::steady_clock::now() + 10s;
         std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(20ms)) {
      std::string text = LogText();
      size_t at = text.find(what);
      if (at != std::string::npos) {
        size_t begin = text.rfind('\n', at);
        begin = begin == std::string::npos ? 0 : begin + 1;
        return text.substr(begin, text.find('\n', at) - begin);
      }
    }
    return "";
  }

  // The answer body bytes a log line reports ("... <command> <status> <bytes> <time>ms").
  static int64_t LoggedBytes(const std::string& line) {
    size_t end = line.rfind("ms");
    size_t time = line.rfind(' ', end);
    size_t bytes = line.rfind(' ', time - 1);
    return std::stoll(line.substr(bytes + 1, time - bytes - 1));
  }

  bool AwaitConnections(int count) {
    for (auto until = std::chrono::steady_clock::now() + 5s;
         std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(5ms))
      if (Server->Connections() == count)
        return true;
    return false;
  }

  TTempStore Temp;
  TReleaseStore Store;
  TSessionScheme Sessions;
  std::atomic<int64_t> Now{1800000000};
  TUpdateService Service;
  TScopedStdFile LogFile;
  TAccessLog Log;
  uint16_t Port = 0;
  std::unique_ptr<THttpServer> Server;
};

TEST_F(HttpServerTest, TheProjectsClientRunsAWholeSession) {
  Start();
  IConnectionPtr c = Connect();
  IMessagePtr info = c->NewMessage(TUpdateService::GetProductInfo);
  c->Call(info);
  EXPECT_EQ(info->ReadWideString(), u"Product");
  EXPECT_EQ(info->ReadString(), "[installer]\r\nappName=Product\r\n");
  // Past 256 ciphered answers, so the sequence number wraps on both sides.
  const std::string big = Blob(300 * 1024, 2);
  for (int i = 0; i < 300; ++i)
    ASSERT_EQ(GetFile(*c, 1), "one") << i;
  EXPECT_EQ(GetFile(*c, 2), big);
  EXPECT_EQ(AwaitInLog(" - 2 ", 1), 1) << "one new session, at the start";
  EXPECT_EQ(AwaitInLog(" admin:getFile 0 ", 301), 301);
}

// Health and metrics are for operators: on the admin listener only, never on
// the port the clients reach. The counts follow what the clients did.
TEST_F(HttpServerTest, HealthAndMetricsAnswerOnTheAdminListenerOnly) {
  TServerOptions options;
  options.AdminAddress = "127.0.0.1";
  Start(options);
  ASSERT_NE(Server->AdminPort(), 0);
  ASSERT_NE(Server->AdminPort(), Port);
  IConnectionPtr c = Connect();
  EXPECT_EQ(GetFile(*c, 1), "one");
  EXPECT_EQ(GetFile(*c, 1), "one");

  TLoopbackClient pub(Port);
  EXPECT_EQ(pub.Get("/healthz").Status, 404);
  EXPECT_EQ(pub.Get("/metrics").Status, 404);
  EXPECT_EQ(pub.Post("/metrics", "x").Status, 404);
  EXPECT_EQ(pub.Get(THttpServer::Path).Status, 405);

  TLoopbackClient::TResponse health = TLoopbackClient(Server->AdminPort()).Get("/healthz");
  EXPECT_EQ(health.Status, 200);
  EXPECT_EQ(health.Body, "ok: release 1\n");
  // A request is counted just after its answer went out: wait for the last one.
  TLoopbackClient::TResponse metrics;
  for (auto until = std::chrono::steady_clock::now() + 5s;; std::this_thread::sleep_for(20ms)) {
    metrics = TLoopbackClient(Server->AdminPort()).Get("/metrics");
    if (metrics.Body.find("\nwebsetup_answer_seconds_count 8\n") != std::string::npos ||
        std::chrono::steady_clock::now() > until)
      break;
  }
  ASSERT_EQ(metrics.Status, 200);
  EXPECT_NE(metrics.Head.find("text/plain; version=0.0.4"), std::string::npos) << metrics.Head;
  const std::string& m = metrics.Body;
  // The first request carries no session, so its command is never read.
  EXPECT_NE(m.find("\nwebsetup_requests_total{command=\"none\",status=\"new-session\"} 1\n"),
            std::string::npos)
      << m;
  EXPECT_NE(m.find("\nwebsetup_requests_total{command=\"admin:getFile\",status=\"success\"} 2\n"),
            std::string::npos)
      << m;
  EXPECT_NE(m.find("\nwebsetup_requests_total{command=\"hi!\",status=\"success\"} 1\n"),
            std::string::npos)
      << m;
  EXPECT_NE(m.find("\nwebsetup_requests_total{command=\"none\",status=\"404\"} 3\n"),
            std::string::npos)
      << m;
  EXPECT_NE(m.find("\nwebsetup_sessions_started_total 1\n"), std::string::npos) << m;
  // The client's kept-alive connection and `pub` are open.
  EXPECT_NE(m.find("\nwebsetup_open_connections 2\n"), std::string::npos) << m;
  EXPECT_NE(m.find("\nwebsetup_current_release 1\n"), std::string::npos) << m;
  EXPECT_NE(m.find("\nwebsetup_answer_seconds_count 8\n"), std::string::npos) << m;

  std::filesystem::remove(Temp.Dir() + "/releases/1/product");
  EXPECT_EQ(TLoopbackClient(Server->AdminPort()).Get("/healthz").Status, 503);
}

TEST_F(HttpServerTest, ExpiredSessionIsRenewedAndTheCallGoesThrough) {
  Start();
  IConnectionPtr c = Connect();
  ASSERT_EQ(GetFile(*c, 1), "one");
  Now += 2 * Hour;
  EXPECT_EQ(GetFile(*c, 1), "one");
  EXPECT_EQ(AwaitInLog(" 2 ", 2), 2) << LogText();
}

TEST_F(HttpServerTest, UnknownIdentifierIsAServerErrorAndTheSessionStays) {
  Start();
  IConnectionPtr c = Connect();
  try {
    GetFile(*c, 77);
    FAIL() << "no error for an unknown identifier";
  } catch (const ERemoteException& e) {
    EXPECT_EQ(e.Message(), "Unknown file identifier 77");
  }
  EXPECT_EQ(GetFile(*c, 1), "one");
  EXPECT_EQ(AwaitInLog(" 2 ", 1), 1) << "only the first hi! opened a session";
}

TEST_F(HttpServerTest, RestartedServerWithTheSameSecretKeepsSessions) {
  Start();
  IConnectionPtr c = Connect();
  ASSERT_EQ(GetFile(*c, 1), "one");
  Server.reset();
  TSessionScheme again(Secret, Hour);
  TUpdateService service(Store, again, [this] { return Now.load(); });
  TServerOptions options;
  options.Port = Port;
  Server = std::make_unique<THttpServer>(service, Log, options);
  Server->Start();
  EXPECT_EQ(GetFile(*c, 1), "one");
  EXPECT_EQ(AwaitInLog(" 2 ", 1), 1) << LogText();
  Server.reset();
}

TEST_F(HttpServerTest, ForgedIdentifierGetsANewSession) {
  Start();
  TLoopbackClient http(Port);
  TRawSession session(
      [&](const std::string& body) { return http.Post(THttpServer::Path, body).Body; });
  ASSERT_EQ(session.Call(TUpdateService::Hello).Status, 0);
  std::string id = session.Id();
  std::string forged = id;
  forged[5] = forged[5] == 'f' ? 'e' : 'f';
  session.ForgeId(forged);
  EXPECT_EQ(session.Call(TUpdateService::GetFile, [](IMessage& m) { m.WriteInteger(1); })
                .Message->ReadString(),
            "one");
  EXPECT_NE(session.Id(), forged);
  EXPECT_NE(session.Id(), id);
}

// Opening a blob runs on a network thread: a FIFO in a blob's place must be
// refused at once, not waited on for a writer that never comes (which would
// also keep the server from stopping).
TEST_F(HttpServerTest, ABlobThatIsNoRegularFileIsRefusedWithoutWaiting) {
  Temp.AddBlob(3, "placeholder");
  const std::string fifo = Temp.Dir() + "/blobs/3";
  std::filesystem::remove(fifo);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  Start();
  TLoopbackClient http(Port, 3s);
  TRawSession session(
      [&](const std::string& body) { return http.Post(THttpServer::Path, body).Body; });
  int status = -1;
  std::string text;
  try {
    TParsedAnswer a = session.Call(TUpdateService::GetFile, [](IMessage& m) { m.WriteInteger(3); });
    status = a.Status;
    text = a.Message->ReadString();
  } catch (const std::exception&) {
  }
  // Frees a server thread that waits in open(), so that the server can stop.
  int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
  if (writer >= 0)
    ::close(writer);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(text, "File 3 is not available on the server");
  EXPECT_EQ(AwaitInLog("\"blob 3 is missing or no regular file\"", 1), 1) << LogText();
  IConnectionPtr c = Connect();
  EXPECT_EQ(GetFile(*c, 1), "one");
}

// However a request's bytes come, whole, in parts or two at once, each is
// answered, with the header the version and the connection ask for.
TEST_F(HttpServerTest, RequestsInPartsOrTogetherGetTheirAnswers) {
  Start();
  TLoopbackClient http(Port, 3s);
  std::string body = FileRequest(http, 1);
  auto request = [&](const std::string& version, const std::string& connection) {
    return "POST /cgi-bin/RUzodi HTTP/" + version + "\r\nHost: 127.0.0.1\r\n" + connection +
           "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
  };
  const std::string ok = "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
                         "Content-Length: " +
                         std::to_string(FileAnswerOverhead + 3) + "\r\n";
  std::string whole = request("1.1", "");
  // Byte by byte across the header, then the body in two parts.
  for (size_t i = 0; i < whole.size() - body.size(); ++i)
    ASSERT_TRUE(http.SendRaw(whole.substr(i, 1)));
  ASSERT_TRUE(http.SendRaw(body.substr(0, 10)));
  std::this_thread::sleep_for(20ms);
  ASSERT_TRUE(http.SendRaw(body.substr(10)));
  TLoopbackClient::TResponse r = http.ReadResponse();
  EXPECT_EQ(r.Head, ok + "\r\n");
  ASSERT_EQ(r.Status, 200);
  EXPECT_EQ(r.Body.substr(0, 3), std::string("\0\1\1", 3)) << "success, ciphered, sequence 1";
  // The same request twice in one write, as a client that sends it again.
  ASSERT_TRUE(http.SendRaw(whole + whole));
  EXPECT_EQ(http.ReadResponse().Status, 200);
  EXPECT_EQ(http.ReadResponse().Status, 200);

  TLoopbackClient old(Port, 3s);
  body = FileRequest(old, 1);
  ASSERT_TRUE(old.SendRaw(request("1.0", "Connection: keep-alive\r\n")));
  EXPECT_EQ(old.ReadResponse().Head, "HTTP/1.0" + ok.substr(8) + "Connection: keep-alive\r\n\r\n");
  ASSERT_TRUE(old.SendRaw(request("1.0", "")));
  EXPECT_EQ(old.ReadResponse().Head, "HTTP/1.0" + ok.substr(8) + "\r\n");
  EXPECT_TRUE(old.WaitClosed());
  TLoopbackClient closing(Port, 3s);
  body = FileRequest(closing, 1);
  ASSERT_TRUE(closing.SendRaw(request("1.1", "Connection: close\r\n")));
  EXPECT_EQ(closing.ReadResponse().Head, ok + "Connection: close\r\n\r\n");
  EXPECT_TRUE(closing.WaitClosed());
}

TEST_F(HttpServerTest, WrongRequestsAreAnsweredAndTheServerGoesOn) {
  TServerOptions options;
  options.BodyLimit = 1024;
  options.HeaderLimit = 1024;
  Start(options);
  TLoopbackClient http(Port);
  EXPECT_EQ(http.Get(THttpServer::Path).Status, 405);
  EXPECT_EQ(http.Post("/other", "").Status, 404) << "wrong paths keep the connection";
  EXPECT_EQ(http.Get("/").Status, 404);
  EXPECT_EQ(http.Post(THttpServer::Path, "short").Status, 400);

  {
    TLoopbackClient truncated(Port);
    truncated.SendRaw("POST /cgi-bin/RUzodi HTTP/1.1\r\nContent-Length: 100\r\n\r\nonly a part");
  }
  TLoopbackClient oversized(Port);
  EXPECT_EQ(oversized.Post(THttpServer::Path, std::string(4096, 'x')).Status, 413);
  TLoopbackClient header(Port);
  EXPECT_EQ(header.SendRaw("POST /cgi-bin/RUzodi HTTP/1.1\r\nX-Long: " + std::string(4096, 'a') +
                           "\r\n\r\n"),
            true);
  EXPECT_EQ(header.ReadResponse().Status, 431);
  TLoopbackClient garbage(Port);
  garbage.SendRaw("\x01\x02 not http at all\r\n\r\n");
  EXPECT_EQ(garbage.ReadResponse().Status, 400);
  TLoopbackClient hugeLength(Port);
  hugeLength.SendRaw(
      "POST /cgi-bin/RUzodi HTTP/1.1\r\nContent-Length: 99999999999999999999\r\n\r\n");
  EXPECT_NE(hugeLength.ReadResponse().Status, 200);

  IConnectionPtr c = Connect();
  EXPECT_EQ(GetFile(*c, 1), "one") << "the server must still serve";
}

TEST_F(HttpServerTest, SlowAndIdleClientsAreCutOff) {
  TServerOptions options;
  options.ReadTime = 400ms;
  options.IdleTime = 300ms;
  Start(options);
  TLoopbackClient slow(Port, 3s);
  auto started = std::chrono::steady_clock::now();
  // One byte at a time, each well within any per-read limit: only the bound
  // on the whole request stops it.
  std::string request = "POST /cgi-bin/RUzodi HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: ";
  bool cut = false;
  for (int i = 0; i < 40 && !cut; ++i) {
    cut = !slow.SendRaw(i < static_cast<int>(request.size()) ? request.substr(i, 1) : "a");
    std::this_thread::sleep_for(50ms);
  }
  EXPECT_TRUE(cut || slow.WaitClosed());
  EXPECT_LT(std::chrono::steady_clock::now() - started, 2500ms);

  TLoopbackClient idle(Port, 3s);
  ASSERT_EQ(idle.Get("/").Status, 404);
  EXPECT_TRUE(idle.WaitClosed()) << "a kept-alive connection is closed after the idle time";
  EXPECT_GE(AwaitInLog("read timeout", 1), 1) << LogText();
}

// A thousand connections that never send would hold every place for the
// idle time, again and again: a new connection gets a short deadline for its
// first byte, and its cut is logged.
TEST_F(HttpServerTest, ConnectionsThatSendNothingAreCutAtTheFirstByteDeadline) {
  TServerOptions options;
  options.FirstByteTime = 300ms;
  Start(options);
  TLoopbackClient kept(Port, 3s);
  ASSERT_EQ(kept.Get("/").Status, 404);
  auto started = std::chrono::steady_clock::now();
  TLoopbackClient silent(Port, 3s);
  EXPECT_TRUE(silent.WaitClosed());
  EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(kept.Get("/").Status, 404)
      << "a kept-alive connection waits the idle time for its next request";
  { TLoopbackClient gone(Port); }
  EXPECT_NE(AwaitLogLine("\"no request (timeout)\" - - - 0 "), "") << LogText();
  EXPECT_NE(AwaitLogLine("\"no request (closed)\" - - - 0 "), "") << LogText();
}

// One host that opens every connection it can gets its share and no more;
// the other hosts are served meanwhile.
TEST_F(HttpServerTest, OneAddressCannotLockOthersOut) {
  TServerOptions options;
  options.MaxConnections = 8;
  options.MaxPerAddress = 3;
  Start(options);
  std::vector<std::unique_ptr<TLoopbackClient>> silent;
  for (int i = 0; i < 8; ++i)
    silent.push_back(std::make_unique<TLoopbackClient>(Port, 2s));
  EXPECT_NE(AwaitLogLine("\"refused (address limit)\""), "");
  EXPECT_TRUE(AwaitConnections(3));
  TLoopbackClient other(Port, 2s, "127.0.0.2");
  EXPECT_EQ(other.Get("/").Status, 404) << "another host is served";
  IConnectionPtr c = Connect();
  EXPECT_THROW(GetFile(*c, 1), EConnection) << "no more for the host that holds its share";
  silent.clear();
  ASSERT_TRUE(AwaitConnections(1));
  EXPECT_EQ(GetFile(*c, 1), "one") << "places given back are taken again";
  EXPECT_EQ(AwaitInLog("\"refused (address limit)\"", 6), 6) << LogText();
}

// Bytes keep moving, just slowly: such a client gets the whole answer
// however long it takes.
TEST_F(HttpServerTest, ASlowReaderGetsAWholeLargeAnswer) {
  TServerOptions options;
  options.WriteTime = 400ms;
  // More than the kernel buffers on both sides, so that the server waits.
  const std::string big = Blob(5 << 20, 3);
  Temp.AddBlob(3, big);
  Start(options);
  TLoopbackClient http(Port, 5s);
  std::string request = FileRequest(http, 3);
  http.SetPace(64 * 1024, 30ms, 64 * 1024);
  ASSERT_TRUE(http.SendPost(THttpServer::Path, request));
  TLoopbackClient::TResponse r = http.ReadResponse(false);
  EXPECT_EQ(r.Status, 200);
  EXPECT_EQ(r.BodySize, static_cast<int64_t>(big.size()) + FileAnswerOverhead);
  EXPECT_EQ(CountInLog("write"), 0) << LogText();
}

// A client that takes nothing is cut once no byte moved for the write time,
// and the log tells how much of the answer went out, not what was planned.
TEST_F(HttpServerTest, AClientThatNeverReadsIsCutAndTheLogSaysWhatWentOut) {
  TServerOptions options;
  options.WriteTime = 300ms;
  const int64_t size = 8 << 20;
  Temp.AddBlob(3, Blob(size, 3));
  Start(options);
  TLoopbackClient http(Port, 5s);
  std::string request = FileRequest(http, 3);
  http.SetPace(64 * 1024, 0ms, 64 * 1024);
  ASSERT_TRUE(http.SendPost(THttpServer::Path, request));
  std::string line = AwaitLogLine("(write timeout)");
  ASSERT_NE(line, "") << LogText();
  EXPECT_GT(LoggedBytes(line), 0) << line;
  EXPECT_LT(LoggedBytes(line), size / 2) << line;
  EXPECT_EQ(http.ReadResponse(false).Status, 0) << "the answer ends short";
}

// The store fails in the middle of an answer (a blob truncated under the
// server): the answer ends short, and the log says so.
TEST_F(HttpServerTest, AnAnswerCutShortByTheStoreIsLogged) {
  const int64_t size = 16 << 20;
  Temp.AddBlob(3, Blob(size, 3));
  Start();
  TLoopbackClient http(Port, 5s);
  std::string request = FileRequest(http, 3);
  http.SetPace(64 * 1024, 0ms, 64 * 1024);
  ASSERT_TRUE(http.SendPost(THttpServer::Path, request));
  std::this_thread::sleep_for(300ms);
  std::filesystem::resize_file(Temp.Dir() + "/blobs/3", 1 << 20);
  TLoopbackClient::TResponse r = http.ReadResponse(false);
  EXPECT_EQ(r.Status, 0);
  std::string line = AwaitLogLine("(cut short)");
  ASSERT_NE(line, "") << LogText();
  EXPECT_LT(LoggedBytes(line), size) << line;
  EXPECT_NE(line.find("\"Stream read error\""), std::string::npos) << line;
}

TEST_F(HttpServerTest, ConnectionsBeyondTheLimitAreClosed) {
  TServerOptions options;
  options.MaxConnections = 2;
  Start(options);
  TLoopbackClient a(Port), b(Port);
  ASSERT_EQ(a.Get("/").Status, 404);
  ASSERT_EQ(b.Get("/").Status, 404);
  TLoopbackClient c(Port, 2s);
  EXPECT_EQ(c.Get("/").Status, 0);
  EXPECT_EQ(a.Get("/").Status, 404) << "the ones admitted go on";
}

TEST_F(HttpServerTest, TwoHundredClientsAtOnceGetEveryByte) {
  TServerOptions options;
  options.MaxConnections = 400;
  options.MaxPerAddress = 50; // four hosts, each at its limit
  Start(options);
  const std::string big = Blob(300 * 1024, 2);
  std::atomic<int> good{0}, started{0};
  std::vector<std::thread> clients;
  for (int i = 0; i < 200; ++i)
    clients.emplace_back([&, i] {
      try {
        TLoopbackClient http(Port, 30s, "127.0.0." + std::to_string(1 + i % 4));
        TRawSession session(
            [&](const std::string& body) { return http.Post(THttpServer::Path, body).Body; });
        ++started;
        while (started.load() < 200)
          std::this_thread::sleep_for(1ms);
        bool ok = true;
        for (int round = 0; round < 3; ++round) {
          TParsedAnswer a =
              session.Call(TUpdateService::GetFile, [](IMessage& m) { m.WriteInteger(2); });
          ok = ok && a.Status == 0 && a.Message->ReadString() == big;
        }
        if (ok)
          ++good;
      } catch (...) {
      }
    });
  for (auto& t : clients)
    t.join();
  EXPECT_EQ(good.load(), 200);
}

} // namespace
