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
  EXPECT_EQ(CountInLog(" - 2 "), 1) << "one new session, at the start";
  EXPECT_EQ(CountInLog(" admin:getFile 0 "), 301);
}

TEST_F(HttpServerTest, ExpiredSessionIsRenewedAndTheCallGoesThrough) {
  Start();
  IConnectionPtr c = Connect();
  ASSERT_EQ(GetFile(*c, 1), "one");
  Now += 2 * Hour;
  EXPECT_EQ(GetFile(*c, 1), "one");
  EXPECT_EQ(CountInLog(" 2 "), 2) << LogText();
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
  EXPECT_EQ(CountInLog(" 2 "), 1) << "only the first hi! opened a session";
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
  EXPECT_EQ(CountInLog(" 2 "), 1) << LogText();
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
  EXPECT_EQ(CountInLog("\"blob 3 is missing or no regular file\""), 1) << LogText();
  IConnectionPtr c = Connect();
  EXPECT_EQ(GetFile(*c, 1), "one");
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
  EXPECT_TRUE(idle.WaitClosed()) << "a connection that never sends is closed after the idle time";
  EXPECT_GE(CountInLog("read timeout"), 1) << LogText();
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
  Start(options);
  const std::string big = Blob(300 * 1024, 2);
  std::atomic<int> good{0}, started{0};
  std::vector<std::thread> clients;
  for (int i = 0; i < 200; ++i)
    clients.emplace_back([&] {
      try {
        TLoopbackClient http(Port, 30s);
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
