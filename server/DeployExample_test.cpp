#include "server/DeployExample.h"

#include "base/KaExceptions.h"
#include "base/KaFiles.h"
#include "base/KaHex.h"
#include "model/VoUpdateConfig.h"
#include "net/KaConnection.h"
#include "net/backends/KaHTTPBackEnds.h"
#include "server/HttpServer.h"
#include "server/Publisher.h"
#include "server/SessionScheme.h"
#include "server/UpdateService.h"
#include "server/testing/LoopbackClient.h"
#include "server/testing/ServerProcess.h"
#include "server/testing/ServerTesting.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <sys/wait.h>
#include <thread>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(DeployExample, RefusesPortsThatCannotWork) {
  TDeployOptions o;
  EXPECT_NO_THROW(DeployExample(o));
  o.AdminPorts = {9081};
  EXPECT_THROW(DeployExample(o), Exception) << "three servers, one admin port";
  o.AdminPorts = {9081, 9082, 8081};
  EXPECT_THROW(DeployExample(o), Exception) << "an admin port on a server's port";
  o.AdminPorts.clear();
  o.Ports = {};
  EXPECT_THROW(DeployExample(o), Exception);
  o.Ports = {8081, 0};
  EXPECT_THROW(DeployExample(o), Exception);
  o.Ports = {8081};
  o.Tool = "build/websetup";
  EXPECT_THROW(DeployExample(o), Exception) << "systemd runs absolute paths only";
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int Occurrences(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++n;
  return n;
}

// The generated nginx site in front of three `websetup serve` processes that
// share one secret file, driven by the project's own connection (a native
// back end): nginx hands consecutive requests to different processes, so the
// session only goes on if every process accepts the others' sessions.
class BehindNginx : public testing::Test {
protected:
  static constexpr int Servers = 3;

  void SetUp() override {
    if (!TNginxProcess::Available())
      GTEST_SKIP() << "no /usr/sbin/nginx (./run setup installs nginx-light)";
    RegisterHTTPBackEnds();
    Root = Temp.Dir() + "/deploy";
    fs::create_directories(Root + "/app/bin");
    Write("app/Demo.exe", "program one");
    Write("app/bin/tool.dll", Noise(300 * 1024, 1));
    Write("app/readme.txt", std::string(100000, 'r'));
    Write("desc.ini", "[installer]\ndisplayName=Demo\nappName=DemoSetup\nappDir=C:\\Demo\\\n"
                      "payloadName=Demo.exe\n");
    EXPECT_EQ(Publish(), 1);

    Secret = Root + "/secret";
    WriteFileAtomically(Secret, ToHex(TSessionScheme::RandomSecret()) + "\n", 0600);
    for (int i = 0; i < Servers; ++i) {
      Logs.push_back(Root + "/serve" + std::to_string(i) + ".log");
      Processes.push_back(std::make_unique<TServerProcess>(
          WEBSETUP_TOOL, Root + "/store",
          std::vector<std::string>{"--secret-file", Secret, "--admin-address", "127.0.0.1:0",
                                   "--threads", "1"},
          Logs.back()));
    }
    TDeployOptions options;
    options.Ports.clear();
    for (const auto& p : Processes)
      options.Ports.push_back(p->Port());
    options.AdminPorts.clear();
    Nginx = std::make_unique<TNginxProcess>(Root + "/nginx", [&](uint16_t port) {
      options.Listen = "127.0.0.1:" + std::to_string(port);
      return NginxSite(options);
    });

    Connection = std::make_shared<TConnection>();
    Connection->SetHost("127.0.0.1:" + std::to_string(Nginx->Port()));
    Connection->SetPath(THttpServer::Path);
  }

  void Write(const std::string& path, const std::string& content) {
    fs::create_directories(fs::path(Root + "/" + path).parent_path());
    WriteFileAtomically(Root + "/" + path, content);
  }

  int Publish() {
    std::ostringstream progress;
    return ::Publish({Root + "/store", Root + "/app", Root + "/desc.ini"}, progress).Release;
  }

  // Request lines each process has logged so far.
  std::vector<int> Served() {
    std::vector<int> counts;
    for (const std::string& log : Logs)
      counts.push_back(Occurrences(Slurp(log), "\"POST /cgi-bin/RUzodi\""));
    return counts;
  }

  // Runs `call` and returns the one process that logged a request meanwhile
  // (a line is written just after its answer went out, so it is waited for).
  int ServedBy(const std::function<void()>& call) {
    std::vector<int> before = Served();
    call();
    for (auto until = std::chrono::steady_clock::now() + 5s;
         std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(10ms)) {
      std::vector<int> after = Served();
      int changed = -1, grown = 0;
      for (int i = 0; i < Servers; ++i)
        if (after[i] != before[i]) {
          changed = i;
          grown += after[i] - before[i];
        }
      if (grown == 1)
        return changed;
      if (grown > 1)
        return -2; // one call, several requests: a new session or a resend
    }
    return -1;
  }

  std::string GetFile(int32_t id) {
    IMessagePtr m = Connection->NewMessage(TUpdateService::GetFile);
    m->WriteInteger(id);
    Connection->Call(m);
    return m->ReadString();
  }

  std::pair<std::u16string, std::string> ProductInfo() {
    IMessagePtr m = Connection->NewMessage(TUpdateService::GetProductInfo);
    Connection->Call(m);
    std::u16string name = m->ReadWideString();
    return {name, m->ReadString()};
  }

  // What the processes logged of "hi!" and of new sessions (status 2,
  // whatever the command: one without a session is not even deciphered).
  std::pair<int, int> HellosAndNewSessions() {
    static const std::regex NewSession(" 200 [^ ]+ 2 ");
    int hellos = 0, sessions = 0;
    for (const std::string& log : Logs) {
      std::string text = Slurp(log);
      hellos += Occurrences(text, " hi! ");
      sessions += static_cast<int>(std::distance(
          std::sregex_iterator(text.begin(), text.end(), NewSession), std::sregex_iterator()));
    }
    return {hellos, sessions};
  }

  // The installation as the project's own update code makes it from the
  // current manifest, compared file by file with the application folder.
  void UpdateAndCompare(const std::string& install) {
    IVoUpdateConfigPtr manifest = CreateUpdateConfig();
    manifest->SetText(ProductInfo().second);
    manifest->Update(install, Connection, TUpdateService::GetFile);
    for (const char* name : {"Demo.exe", "bin/tool.dll", "readme.txt"})
      EXPECT_EQ(Slurp(install + "/" + name), Slurp(Root + "/app/" + name)) << name;
  }

  TTempStore Temp;
  std::string Root, Secret;
  std::vector<std::string> Logs;
  std::vector<std::unique_ptr<TServerProcess>> Processes;
  std::unique_ptr<TNginxProcess> Nginx;
  IConnectionPtr Connection;
};

TEST_F(BehindNginx, OneSessionAcrossThreeProcessesWithOneSecret) {
  // The first call opens the session (a request without one gets the
  // identifier, then "hi!" with it) and fetches the product information.
  EXPECT_EQ(ProductInfo().first, u"Demo");
  const std::pair<int, int> opened{1, 1};
  for (auto until = std::chrono::steady_clock::now() + 5s;
       HellosAndNewSessions() != opened && std::chrono::steady_clock::now() < until;)
    std::this_thread::sleep_for(10ms);
  while (Occurrences(Slurp(Logs[0]) + Slurp(Logs[1]) + Slurp(Logs[2]), "getProductInfo") == 0)
    std::this_thread::sleep_for(10ms);
  ASSERT_EQ(HellosAndNewSessions(), opened) << Slurp(Logs[0]) << Slurp(Logs[1]) << Slurp(Logs[2]);

  // Consecutive requests go to different processes and the session goes on.
  const std::string tool = Slurp(Root + "/app/bin/tool.dll");
  std::vector<int> by;
  for (int i = 0; i < 2 * Servers; ++i)
    by.push_back(ServedBy([&] {
      IVoUpdateConfigPtr manifest = CreateUpdateConfig();
      manifest->SetText(ProductInfo().second);
    }));
  for (size_t i = 0; i < by.size(); ++i) {
    ASSERT_GE(by[i], 0) << "call " << i << " was not served by exactly one request";
    if (i > 0) {
      EXPECT_NE(by[i], by[i - 1]) << "calls " << i - 1 << " and " << i << " on one process";
    }
  }
  for (int p = 0; p < Servers; ++p)
    EXPECT_NE(std::count(by.begin(), by.end(), p), 0) << "process " << p << " served nothing";

  // Files arrive whole through the update code, request after request
  // spread over the processes.
  const std::string install = Root + "/install";
  UpdateAndCompare(install);
  EXPECT_EQ(HellosAndNewSessions(), opened) << "the session started again";
  std::vector<int> served = Served();
  for (int p = 0; p < Servers; ++p)
    EXPECT_GE(served[p], 3) << "process " << p;

  // A release published meanwhile reaches every process: three calls in a
  // row, one per process, all see it.
  Write("app/Demo.exe", "program two, longer");
  Write("app/bin/tool.dll", Noise(400 * 1024, 2));
  EXPECT_EQ(Publish(), 2);
  std::vector<int> seen;
  for (int i = 0; i < Servers; ++i)
    seen.push_back(ServedBy([&] {
      std::string manifest = ProductInfo().second;
      EXPECT_EQ(manifest, Slurp(Root + "/store/releases/2/manifest"));
    }));
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(seen, (std::vector<int>{0, 1, 2}));
  for (const auto& p : Processes) {
    TLoopbackClient::TResponse m = TLoopbackClient(p->AdminPort()).Get("/metrics");
    EXPECT_NE(m.Body.find("\nwebsetup_current_release 2\n"), std::string::npos) << m.Body;
  }
  UpdateAndCompare(install);

  // The process that served the last request dies; nginx hands the next
  // ones to the others and the session still goes on.
  int last = ServedBy([&] { EXPECT_EQ(GetFile(1), GetFile(1)); });
  if (last < 0)
    last = 0;
  Processes[static_cast<size_t>(last)]->Kill();
  ::waitpid(Processes[static_cast<size_t>(last)]->Pid(), nullptr, 0);
  Write("app/readme.txt", std::string(120000, 's'));
  EXPECT_EQ(Publish(), 3);
  UpdateAndCompare(install);
  for (int i = 0; i < 2 * Servers; ++i)
    EXPECT_EQ(ProductInfo().second, Slurp(Root + "/store/releases/3/manifest"));
  EXPECT_EQ(HellosAndNewSessions(), opened) << "the session started again";

  int sessions = 0;
  for (size_t p = 0; p < Processes.size(); ++p) {
    if (static_cast<int>(p) == last)
      continue;
    std::string m = TLoopbackClient(Processes[p]->AdminPort()).Get("/metrics").Body;
    size_t at = m.find("\nwebsetup_sessions_started_total ");
    ASSERT_NE(at, std::string::npos) << m;
    sessions += std::stoi(m.substr(at + 33));
  }
  EXPECT_LE(sessions, 1);
}

// The paths of the admin listener are not passed by nginx, and the servers'
// limits hold in front of them.
TEST_F(BehindNginx, OnlyTheProtocolPathIsPassed) {
  TLoopbackClient http(Nginx->Port());
  EXPECT_EQ(http.Get("/metrics").Status, 404);
  EXPECT_EQ(http.Get("/healthz").Status, 404);
  EXPECT_EQ(http.Post("/metrics", "x").Status, 404);
  TLoopbackClient::TResponse get = http.Get(THttpServer::Path);
  EXPECT_EQ(get.Status, 405);
  EXPECT_NE(get.Head.find("Allow: POST"), std::string::npos) << get.Head;
  TLoopbackClient big(Nginx->Port());
  EXPECT_EQ(big.Post(THttpServer::Path, std::string(65 * 1024, 'x')).Status, 413);
  std::vector<int> served = Served();
  EXPECT_EQ(served, std::vector<int>(Servers, 0)) << "nothing of this reached a server";
  // A request the servers answer (a body shorter than the request header)
  // goes through with the servers' own status.
  EXPECT_EQ(TLoopbackClient(Nginx->Port()).Post(THttpServer::Path, "short").Status, 400);
}

} // namespace
