// Requests per second of "admin:getFile" for a 4 KB blob with 1, 16 and 256
// kept-alive clients, against nginx serving the same bytes as a static file
// in the same run; the time of a request whose header and body come in two
// writes; then the deployment: nginx with the generated site in front of 1,
// 2 and 3 server processes against one process alone; then the server's peak
// memory while it sends a 1 GB blob. Everything runs on 127.0.0.1 and ends
// after a bounded time.

#include "base/KaHandle_posix.h"
#include "server/DeployExample.h"
#include "server/ReleaseStore.h"
#include "server/UpdateService.h"
#include "server/testing/LoopbackClient.h"
#include "server/testing/ServerProcess.h"
#include "server/testing/ServerTesting.h"

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Each side is measured in turns, so that a change of the machine's load
// (other work on a shared machine) weighs on both alike.
constexpr auto TurnTime = 700ms;
constexpr int Turns = 3;
constexpr int64_t BigSize = int64_t{1} << 30;

// Requests per second over `clients` connections, each made by `setup`,
// which returns one request's function (true when the answer was right).
// Counted from when every client is ready.
template <class TSetup> double RequestsPerSecond(int clients, TSetup setup) {
  std::atomic<int64_t> done{0}, wrong{0};
  std::atomic<int> ready{0};
  std::atomic<bool> go{false}, stop{false};
  std::vector<std::thread> threads;
  for (int i = 0; i < clients; ++i)
    threads.emplace_back([&] {
      try {
        auto request = setup();
        ++ready;
        while (!go)
          std::this_thread::sleep_for(1ms);
        while (!stop) {
          if (request())
            ++done;
          else
            ++wrong;
        }
      } catch (...) {
        ++wrong;
        ++ready;
      }
    });
  while (ready < clients)
    std::this_thread::sleep_for(1ms);
  go = true;
  auto start = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(TurnTime);
  int64_t counted = done.load();
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  stop = true;
  for (auto& t : threads)
    t.join();
  if (wrong)
    std::printf("    (%lld wrong or failed answers)\n", static_cast<long long>(wrong.load()));
  return counted / seconds;
}

// One client's loop of 4 KB file requests over a kept-alive connection to `port`.
auto FileClient(uint16_t port, const std::string& expected) {
  return [port, &expected] {
    auto http = std::make_shared<TLoopbackClient>(port, 30s);
    auto session = std::make_shared<TRawSession>(
        [http](const std::string& body) { return http->Post(ServerPath, body).Body; });
    session->Call(TUpdateService::Hello);
    return [http, session, &expected] {
      TParsedAnswer a =
          session->Call(TUpdateService::GetFile, [](IMessage& m) { m.WriteInteger(1); });
      return a.Status == 0 && a.Message->ReadString() == expected;
    };
  };
}

// nginx, as deploy-example writes its site, in front of 1, 2 and 3 processes
// of one thread each (the instances of the systemd unit), against one
// process of a thread per core without nginx.
void Deployment(const std::string& dir, const std::string& store, uint16_t direct,
                const std::string& small) {
  constexpr int Clients = 16;
  std::printf("server_bench: the deployment, %d clients, admin:getFile of a 4 KB blob, requests "
              "per second\n",
              Clients);
  double alone = RequestsPerSecond(Clients, FileClient(direct, small));
  std::printf("  one process, no nginx          %9.0f\n", alone);
  std::vector<std::unique_ptr<TServerProcess>> servers;
  for (int n = 1; n <= 3; ++n) {
    servers.push_back(std::make_unique<TServerProcess>(
        WEBSETUP_TOOL, store,
        std::vector<std::string>{"--quiet", "--threads", "1", "--max-connections", "2000",
                                 "--max-per-address", "2000"}));
    TDeployOptions options;
    options.Ports.clear();
    options.AdminPorts.clear();
    for (const auto& s : servers)
      options.Ports.push_back(s->Port());
    TNginxProcess nginx(
        dir + "/nginx" + std::to_string(n),
        [&](uint16_t port) {
          options.Listen = "127.0.0.1:" + std::to_string(port);
          return NginxSite(options);
        },
        2);
    double through = RequestsPerSecond(Clients, FileClient(nginx.Port(), small));
    std::printf("  nginx, %d upstream process%s     %9.0f\n", n, n == 1 ? "  " : "es", through);
    std::printf("ratio nginx-%d-upstream%s-vs-direct %.3f\n", n, n == 1 ? "" : "s",
                through / alone);
  }
}

// Milliseconds per request of a client that sends a request's header and
// body in two writes with Nagle's algorithm on, as some of the client's back
// ends do: the body waits for the header's acknowledgement.
double SplitRequestMilliseconds(uint16_t port) {
  constexpr int Requests = 20;
  TLoopbackClient http(port, 10s);
  int zero = 0;
  ::setsockopt(http.Handle(), IPPROTO_TCP, TCP_NODELAY, &zero, sizeof zero);
  std::string body = BuildRequest(std::string(SessionIdLength, '-'), 0, "", HelloCommand);
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < Requests; ++i) {
    http.SendRaw("POST " + std::string(ServerPath) + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
                 "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n");
    http.SendRaw(body);
    if (http.ReadResponse().Status != 200)
      return -1;
  }
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
             .count() /
         Requests;
}

} // namespace

int main() {
  TTempStore temp;
  fs::permissions(temp.Dir(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
  std::string small(4096, '\0');
  for (size_t i = 0; i < small.size(); ++i)
    small[i] = static_cast<char>(i * 31 + 7);
  temp.AddBlob(1, small);
  temp.Publish(1, "Bench", "[installer]\r\nappName=Bench\r\n");

  TServerProcess server(WEBSETUP_TOOL, temp.Dir(),
                        {"--quiet", "--max-connections", "2000", "--max-per-address", "2000"});
  const uint16_t port = server.Port();
  std::string www = temp.Dir() + "/www";
  fs::create_directories(www);
  WriteFileAtomically(www + "/blob", small);
  uint16_t nginxPort = FreeLoopbackPort();
  std::string conf = temp.Dir() + "/nginx.conf";
  WriteFileAtomically(conf, "daemon off;\nworker_processes auto;\npid " + temp.Dir() +
                                "/nginx.pid;\nerror_log " + temp.Dir() +
                                "/nginx.err;\nevents { worker_connections 2048; }\n"
                                "http { access_log off; keepalive_requests 1000000;\n"
                                "  server { listen 127.0.0.1:" +
                                std::to_string(nginxPort) + "; root " + www + "; }\n}\n");
  std::unique_ptr<TChildProcess> nginx;
  bool haveNginx = fs::exists("/usr/sbin/nginx");
  if (haveNginx) {
    nginx = std::make_unique<TChildProcess>(
        std::vector<std::string>{"/usr/sbin/nginx", "-c", conf, "-p", temp.Dir()});
    haveNginx = WaitListening(nginxPort);
  }

  std::printf("server_bench: admin:getFile of a 4 KB blob, requests per second (%d turns of "
              "%lld ms each)\n",
              Turns, static_cast<long long>(TurnTime.count()));
  for (int clients : {1, 16, 256}) {
    double ours = 0, theirs = 0;
    for (int turn = 0; turn < Turns; ++turn) {
      ours += RequestsPerSecond(clients, FileClient(port, small)) / Turns;
      if (haveNginx)
        theirs += RequestsPerSecond(clients,
                                    [&] {
                                      auto http = std::make_shared<TLoopbackClient>(nginxPort, 30s);
                                      return [http, &small] {
                                        TLoopbackClient::TResponse r = http->Get("/blob");
                                        return r.Status == 200 && r.Body == small;
                                      };
                                    }) /
                  Turns;
    }
    if (haveNginx) {
      std::printf("  %3d clients: websetup %9.0f   nginx %9.0f\n", clients, ours, theirs);
      std::printf("ratio server-%d-clients %.3f\n", clients, ours / theirs);
    } else {
      std::printf("  %3d clients: websetup %9.0f   (no nginx)\n", clients, ours);
    }
  }
  std::printf("server_bench: a request in two writes (header, then body; Nagle on): %.2f ms\n",
              SplitRequestMilliseconds(port));

  if (haveNginx) {
    nginx.reset();
    Deployment(temp.Dir(), temp.Dir(), port, small);
  }

  // A 1 GB blob: its bytes do not matter to the server, which never inflates.
  {
    std::ofstream big(temp.Dir() + "/blobs/2", std::ios::binary);
    std::string block(1 << 20, 'z');
    for (int64_t written = 0; written < BigSize; written += static_cast<int64_t>(block.size()))
      big.write(block.data(), static_cast<std::streamsize>(block.size()));
  }
  temp.IndexBlob(2);
  long before = server.PeakKiB();
  TLoopbackClient http(port, 60s);
  TParsedAnswer hello = ParseAnswer(
      http.Post(ServerPath, BuildRequest(std::string(32, '-'), 0, "", HelloCommand)).Body, "");
  std::string id = hello.Message->ReadString();
  auto start = std::chrono::steady_clock::now();
  TLoopbackClient::TResponse r =
      http.Post(ServerPath,
                BuildRequest(id, 0, hello.NextKey, TUpdateService::GetFile,
                             [](IMessage& m) { m.WriteInteger(2); }),
                false);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  long after = server.PeakKiB();
  std::printf("server_bench: 1 GB blob sent in %.2f s (%s, %.0f MB/s); server peak memory %ld KiB "
              "before, %ld KiB after\n",
              seconds, r.BodySize == BigSize + FileAnswerOverhead ? "complete" : "INCOMPLETE",
              BigSize / 1048576.0 / seconds, before, after);
  return 0;
}
