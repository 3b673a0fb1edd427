// The update server under abuse, as a real `websetup serve` process on
// 127.0.0.1; source addresses of 127.0.0.0/8 stand for the client hosts.
//   1. 1,000 kept-alive clients for a minute: no failed request, flat memory.
//   2. 500 clients that send a request header a byte a second, while a
//      normal client is served within its usual time.
//   3. Clients that never read a large answer: cut at the write time-out.
//   4. Connections above the limits are refused; the ones served go on.
// Prints its figures and exits non-zero when a check fails.
//   server_soak [SECONDS of part 1, default 60]

// Asio of this Boost uses std::exchange without including <utility> itself.
#include <utility>

#include "net/KaProtocol.h"
#include "server/UpdateService.h"
#include "server/testing/LoopbackClient.h"
#include "server/testing/ServerProcess.h"
#include "server/testing/ServerTesting.h"

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <optional>
#include <random>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = net::ip::tcp;
using TSteady = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

constexpr int64_t LargeSize = int64_t{64} << 20;

bool Passed = true;

void Verdict(bool ok) {
  std::printf("    %s\n", ok ? "PASS" : "FAIL");
  std::fflush(stdout);
  Passed = Passed && ok;
}

double Ms(TSteady::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Percentiles of request times, in milliseconds.
struct TTimes {
  std::vector<double> Values;
  double At(double fraction) {
    if (Values.empty())
      return 0;
    std::sort(Values.begin(), Values.end());
    return Values[std::min(Values.size() - 1, static_cast<size_t>(fraction * Values.size()))];
  }
  std::string Text() {
    char text[96];
    std::snprintf(text, sizeof text, "p50 %.1f ms, p99 %.1f ms, max %.1f ms", At(0.5), At(0.99),
                  At(1.0));
    return text;
  }
};

// What the clients of one part saw; used on the io thread only until the
// part ends.
struct TTally {
  int64_t Ok = 0;
  int64_t Failed = 0;
  std::map<std::string, int> Why;
  TTimes Times;
  void Fail(const std::string& why) {
    ++Failed;
    ++Why[why];
  }
  std::string Failures() const {
    std::string out;
    for (const auto& [why, count] : Why)
      out += "      " + std::to_string(count) + " x " + why + "\n";
    return out;
  }
};

struct TContent {
  std::string Manifest;
  std::map<int32_t, std::string> Blobs;
};

tcp::endpoint Local(const std::string& address) { return {net::ip::make_address(address), 0}; }

// A client as the real one behaves, kept alive and in one session, that asks
// for product information and files one after the other and checks every
// byte of every answer.
class TSessionClient : public std::enable_shared_from_this<TSessionClient> {
public:
  TSessionClient(net::io_context& io, uint16_t port, std::string from, const TContent& content,
                 TTally& tally, const std::atomic<bool>& stop, std::chrono::milliseconds think)
      : FStream(io), FThink(io), FPort(port), FFrom(std::move(from)), FContent(content),
        FTally(tally), FStop(stop), FThinkMax(think), FRandom(std::random_device{}()) {
    // Clients in step would all ask for the large file at the same moment.
    FStep = static_cast<int>(FRandom() % 8);
  }

  void Start() {
    beast::error_code ec;
    FStream.socket().open(tcp::v4(), ec);
    FStream.socket().bind(Local(FFrom), ec);
    if (ec)
      return FTally.Fail("bind " + FFrom + ": " + ec.message());
    FStream.expires_after(30s);
    FStream.async_connect(tcp::endpoint(net::ip::make_address("127.0.0.1"), FPort),
                          [self = shared_from_this()](beast::error_code ec) {
                            if (ec)
                              return self->FTally.Fail("connect: " + ec.message());
                            self->FConnected = true;
                            self->Next();
                          });
  }

  bool Connected() const { return FConnected; }

private:
  void Next() {
    if (FStop) {
      beast::error_code ignored;
      FStream.socket().shutdown(tcp::socket::shutdown_both, ignored);
      return FStream.close();
    }
    static constexpr int32_t Plan[] = {-2, -1, 1, 1, 1, 2, 1, 1};
    FWhat = Plan[FStep++ % std::size(Plan)];
    FStarted = TSteady::now();
    Send();
  }

  // -2 hello, -1 product information, else the file of that identifier.
  void Send() {
    std::string command = FWhat == -2   ? TUpdateService::Hello
                          : FWhat == -1 ? TUpdateService::GetProductInfo
                                        : TUpdateService::GetFile;
    int32_t id = FWhat;
    FRequestKey = FKey;
    FRequest = {http::verb::post, ServerPath, 11};
    FRequest.set(http::field::host, "127.0.0.1");
    FRequest.set(http::field::content_type, "application/octet-stream");
    FRequest.body() = BuildRequest(FId, FSequence, FKey, command, [id](IMessage& m) {
      if (id > 0)
        m.WriteInteger(id);
    });
    FRequest.prepare_payload();
    FStream.expires_after(30s);
    http::async_write(FStream, FRequest, [self = shared_from_this()](beast::error_code ec, size_t) {
      if (ec)
        return self->FTally.Fail("write: " + ec.message());
      self->FParser.emplace();
      self->FParser->body_limit(LargeSize * 2);
      http::async_read(self->FStream, self->FBuffer, *self->FParser,
                       [self](beast::error_code ec, size_t) { self->OnAnswer(ec); });
    });
  }

  void OnAnswer(beast::error_code ec) {
    if (ec)
      return FTally.Fail("read: " + ec.message());
    http::response<http::string_body> answer = FParser->release();
    if (answer.result_int() != 200)
      return FTally.Fail("HTTP " + std::to_string(answer.result_int()));
    std::string why;
    try {
      TParsedAnswer a = ParseAnswer(answer.body(), FRequestKey);
      if (a.Ciphered && a.Sequence != ++FSequence)
        throw std::runtime_error("out of sync");
      FKey = a.NextKey;
      if (a.Status == 2) {
        FId = a.Message->ReadString();
        FSequence = 0;
        if (++FRenewals > 3)
          throw std::runtime_error("new sessions without end");
        return Send();
      }
      FRenewals = 0;
      if (a.Status != 0)
        throw std::runtime_error("status " + std::to_string(a.Status));
      if (FWhat == -1 &&
          (a.Message->ReadWideString() != u"Soak" || a.Message->ReadString() != FContent.Manifest))
        throw std::runtime_error("wrong product information");
      if (FWhat > 0 && a.Message->ReadString() != FContent.Blobs.at(FWhat))
        throw std::runtime_error("wrong file content");
    } catch (const std::exception& e) {
      return FTally.Fail(e.what());
    }
    ++FTally.Ok;
    FTally.Times.Values.push_back(Ms(TSteady::now() - FStarted));
    std::uniform_int_distribution<int> pause(0, static_cast<int>(FThinkMax.count()));
    FThink.expires_after(std::chrono::milliseconds(pause(FRandom)));
    FThink.async_wait([self = shared_from_this()](beast::error_code) { self->Next(); });
  }

  beast::tcp_stream FStream;
  net::steady_timer FThink;
  uint16_t FPort;
  std::string FFrom;
  const TContent& FContent;
  TTally& FTally;
  const std::atomic<bool>& FStop;
  std::chrono::milliseconds FThinkMax;
  std::minstd_rand FRandom;
  bool FConnected = false;
  std::string FId = std::string(SessionIdLength, '-');
  std::string FKey, FRequestKey;
  uint8_t FSequence = 0;
  int FRenewals = 0;
  int FStep = 0;
  int32_t FWhat = 0;
  TSteady::time_point FStarted;
  http::request<http::string_body> FRequest;
  beast::flat_buffer FBuffer;
  std::optional<http::response_parser<http::string_body>> FParser;
};

// A connection that sends a request header a byte at a time, or nothing at
// all, and connects again whenever the server ends it. Counts how its
// connections ended: refused at once, or cut after a while.
class TAbuser : public std::enable_shared_from_this<TAbuser> {
public:
  struct TCounts {
    int64_t Attempts = 0, Refused = 0, Cut = 0;
    TTimes Lives; // how long cut connections lived, ms
  };

  TAbuser(net::io_context& io, uint16_t port, std::string from, bool trickle, TCounts& counts,
          const std::atomic<bool>& stop)
      : FIo(io), FSocket(io), FTimer(io), FPort(port), FFrom(std::move(from)), FTrickle(trickle),
        FCounts(counts), FStop(stop) {}

  void Start() {
    if (FStop)
      return;
    beast::error_code ec;
    FSocket = tcp::socket(FIo);
    FSocket.open(tcp::v4(), ec);
    FSocket.bind(Local(FFrom), ec);
    if (ec)
      return Again(1s);
    ++FCounts.Attempts;
    FSent = 0;
    FSocket.async_connect(tcp::endpoint(net::ip::make_address("127.0.0.1"), FPort),
                          [self = shared_from_this()](beast::error_code ec) {
                            if (ec)
                              return self->Again(100ms);
                            self->FBorn = TSteady::now();
                            self->Watch();
                            if (self->FTrickle)
                              self->Trickle();
                          });
  }

private:
  static const std::string& Header() {
    static const std::string header =
        "POST " + std::string(ServerPath) +
        " HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: " + std::string(4000, 'a');
    return header;
  }

  // The server's end shows as the end of the stream (or a reset).
  void Watch() {
    FSocket.async_read_some(net::buffer(FSink),
                            [self = shared_from_this()](beast::error_code ec, size_t) {
                              if (!ec)
                                return self->Watch();
                              if (ec == net::error::operation_aborted)
                                return;
                              auto life = TSteady::now() - self->FBorn;
                              // Refused: closed by the acceptor before any deadline could pass.
                              if (life < 500ms && self->FSent <= 1) {
                                ++self->FCounts.Refused;
                              } else {
                                ++self->FCounts.Cut;
                                self->FCounts.Lives.Values.push_back(Ms(life));
                              }
                              self->FTimer.cancel();
                              beast::error_code ignored;
                              self->FSocket.close(ignored);
                              self->Again(life < 500ms ? 100ms : 0ms);
                            });
  }

  void Trickle() {
    net::async_write(FSocket, net::buffer(Header().data() + FSent % Header().size(), 1),
                     [self = shared_from_this()](beast::error_code ec, size_t) {
                       if (ec)
                         return; // Watch sees the end
                       ++self->FSent;
                       self->FTimer.expires_after(1s);
                       self->FTimer.async_wait([self](beast::error_code ec) {
                         if (!ec && !self->FStop)
                           self->Trickle();
                         else if (!ec)
                           self->Stop();
                       });
                     });
  }

  void Stop() {
    beast::error_code ignored;
    FSocket.close(ignored);
  }

  void Again(std::chrono::milliseconds after) {
    if (FStop)
      return;
    FTimer.expires_after(after);
    FTimer.async_wait([self = shared_from_this()](beast::error_code ec) {
      if (!ec)
        self->Start();
    });
  }

  net::io_context& FIo;
  tcp::socket FSocket;
  net::steady_timer FTimer;
  uint16_t FPort;
  std::string FFrom;
  bool FTrickle;
  TCounts& FCounts;
  const std::atomic<bool>& FStop;
  TSteady::time_point FBorn;
  size_t FSent = 0;
  char FSink[256];
};

// Runs `io` on one thread until the part ends.
class TIoThread {
public:
  explicit TIoThread(net::io_context& io)
      : FGuard(io.get_executor()), FThread([&io] {
          try {
            io.run();
          } catch (const std::exception& e) {
            std::printf("    the clients' thread failed: %s\n", e.what());
          }
        }) {}
  // Ends when the clients have ended their last request.
  void Join() {
    FGuard.reset();
    FThread.join();
  }

private:
  net::executor_work_guard<net::io_context::executor_type> FGuard;
  std::thread FThread;
};

// Makes `count` session clients, `perHost` from each host address beginning
// at 127.0.0.<firstHost>.
std::vector<std::shared_ptr<TSessionClient>> StartClients(net::io_context& io, uint16_t port,
                                                          int count, int perHost, int firstHost,
                                                          const TContent& content, TTally& tally,
                                                          const std::atomic<bool>& stop,
                                                          std::chrono::milliseconds think) {
  std::vector<std::shared_ptr<TSessionClient>> clients;
  for (int i = 0; i < count; ++i) {
    clients.push_back(std::make_shared<TSessionClient>(
        io, port, "127.0.0." + std::to_string(firstHost + i / perHost), content, tally, stop,
        think));
    net::post(io, [c = clients.back()] { c->Start(); });
  }
  return clients;
}

// Lines of the server's access log that hold `what`.
int CountInLog(const std::string& log, const std::string& what) {
  std::ifstream in(log);
  std::string line;
  int count = 0;
  while (std::getline(in, line))
    if (line.find(what) != std::string::npos)
      ++count;
  return count;
}

// The machine's load while the soak runs: on a shared machine, request times
// say as much about it as about the server.
std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one, five;
  in >> one >> five;
  return one + " (1 min), " + five + " (5 min)";
}

// Refused connections in the server's log: lines of their own, and the
// counts of the ones a flood made it hold back.
int64_t RefusedInLog(const std::string& log, const std::string& kind) {
  std::ifstream in(log);
  std::string line;
  const std::string alone = "\"" + kind + "\"", held = "\"" + kind + " (";
  int64_t count = 0;
  while (std::getline(in, line)) {
    if (line.find(alone) != std::string::npos)
      ++count;
    else if (size_t at = line.find(held); at != std::string::npos)
      count += std::atoll(line.c_str() + at + held.size());
  }
  return count;
}

void KeepAliveClients(const std::string& store, const TContent& content, int seconds) {
  std::printf("[1] 1000 kept-alive clients for %d s (from 16 hosts, default limits), each "
              "asking again after 0-50 ms\n",
              seconds);
  TServerProcess server(WEBSETUP_TOOL, store, {"--quiet"});
  net::io_context io;
  TTally tally;
  std::atomic<bool> stop{false};
  auto clients = StartClients(io, server.Port(), 1000, 63, 2, content, tally, stop, 50ms);
  TIoThread thread(io);
  std::vector<long> rss; // KiB, one sample a second
  auto start = TSteady::now();
  for (int s = 0; s < seconds; ++s) {
    std::this_thread::sleep_until(start + std::chrono::seconds(s + 1));
    rss.push_back(server.ResidentKiB());
  }
  stop = true;
  thread.Join();
  double elapsed = std::chrono::duration<double>(TSteady::now() - start).count();
  int connected = static_cast<int>(
      std::count_if(clients.begin(), clients.end(), [](auto& c) { return c->Connected(); }));
  // Flat: the last sixth of the run holds no more than the first sixth after
  // a warm-up of a sixth, give or take a little.
  size_t sixth = std::max<size_t>(rss.size() / 6, 1);
  long early = *std::max_element(rss.begin() + static_cast<long>(sixth),
                                 rss.begin() + static_cast<long>(std::min(2 * sixth, rss.size())));
  long late = *std::max_element(rss.end() - static_cast<long>(sixth), rss.end());
  long peak = *std::max_element(rss.begin(), rss.end());
  bool flat = late <= early + early / 10 + 2048;
  std::printf("    %d connected; %lld requests answered (%.0f/s), %lld failed\n", connected,
              static_cast<long long>(tally.Ok), tally.Ok / elapsed,
              static_cast<long long>(tally.Failed));
  std::printf("%s", tally.Failures().c_str());
  std::printf("    request time %s\n", tally.Times.Text().c_str());
  std::printf("    server memory (RSS): %ld KiB after warm-up, %ld KiB at the end, %ld KiB at the "
              "most: %s\n",
              early, late, peak, flat ? "flat" : "GROWING");
  std::printf("    RSS every %zu s:", std::max<size_t>(rss.size() / 12, 1));
  for (size_t i = 0; i < rss.size(); i += std::max<size_t>(rss.size() / 12, 1))
    std::printf(" %ld", rss[i]);
  std::printf(" KiB\n");
  Verdict(connected == 1000 && tally.Failed == 0 && tally.Ok > 0 && flat);
}

// One normal client's requests, one after the other, for `length`.
TTally NormalClient(uint16_t port, const TContent& content, std::chrono::seconds length) {
  net::io_context io;
  TTally tally;
  std::atomic<bool> stop{false};
  StartClients(io, port, 1, 1, 1, content, tally, stop, 50ms);
  TIoThread thread(io);
  std::this_thread::sleep_for(length);
  stop = true;
  thread.Join();
  return tally;
}

void SlowHeaderClients(const std::string& store, const TContent& content) {
  std::printf("[2] 500 clients sending a request header a byte a second (from 10 hosts), "
              "while a normal client asks every 0-50 ms\n");
  std::string log = store + "/soak2.log";
  TServerProcess server(WEBSETUP_TOOL, store, {}, log);
  TTally before = NormalClient(server.Port(), content, 10s);

  net::io_context io;
  TAbuser::TCounts counts;
  std::atomic<bool> stop{false};
  for (int i = 0; i < 500; ++i) {
    auto a = std::make_shared<TAbuser>(io, server.Port(), "127.0.0." + std::to_string(20 + i / 50),
                                       true, counts, stop);
    net::post(io, [a] { a->Start(); });
  }
  TIoThread thread(io);
  std::this_thread::sleep_for(3s);
  TTally during = NormalClient(server.Port(), content, 25s);
  stop = true;
  thread.Join();

  std::printf("    normal client before: %lld answered, %lld failed, %s\n",
              static_cast<long long>(before.Ok), static_cast<long long>(before.Failed),
              before.Times.Text().c_str());
  std::printf("    normal client during: %lld answered, %lld failed, %s\n",
              static_cast<long long>(during.Ok), static_cast<long long>(during.Failed),
              during.Times.Text().c_str());
  std::printf("%s%s", before.Failures().c_str(), during.Failures().c_str());
  std::printf("    slow clients: %lld connections, %lld cut by the server after %s of life, "
              "%lld refused; server log: %d read timeouts\n",
              static_cast<long long>(counts.Attempts), static_cast<long long>(counts.Cut),
              counts.Lives.Text().c_str(), static_cast<long long>(counts.Refused),
              CountInLog(log, "\"read timeout\""));
  // Within its usual time: a machine shared with other work jitters, so a
  // few times its usual worst, give or take a little, is usual.
  double usual = before.Times.At(0.99);
  Verdict(before.Failed == 0 && during.Failed == 0 && during.Ok > 0 && counts.Cut > 0 &&
          during.Times.At(0.99) <= 3 * usual + 50);
}

// The state of a client's socket as its kernel sees it.
int TcpState(int fd) {
  tcp_info info{};
  socklen_t length = sizeof info;
  return ::getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &length) == 0 ? info.tcpi_state : -1;
}

void ClientsThatNeverRead(const std::string& store) {
  constexpr int Count = 50;
  std::printf("[3] %d clients that ask for a %lld MB file and never read (write time-out 30 s)\n",
              Count, static_cast<long long>(LargeSize >> 20));
  std::string log = store + "/soak3.log";
  TServerProcess server(WEBSETUP_TOOL, store, {}, log);
  std::vector<std::unique_ptr<TLoopbackClient>> clients;
  std::vector<TSteady::time_point> sent;
  for (int i = 0; i < Count; ++i) {
    clients.push_back(std::make_unique<TLoopbackClient>(server.Port(), 60s,
                                                        "127.0.0." + std::to_string(40 + i / 10)));
    std::string request = FileRequest(*clients.back(), 3);
    clients.back()->SetPace(64 * 1024, 0ms, 64 * 1024);
    clients.back()->SendPost(ServerPath, request);
    sent.push_back(TSteady::now());
  }
  TTimes cut; // seconds
  long peak = 0;
  std::vector<bool> done(Count, false);
  auto until = TSteady::now() + 60s;
  while (cut.Values.size() < static_cast<size_t>(Count) && TSteady::now() < until) {
    std::this_thread::sleep_for(100ms);
    peak = std::max(peak, server.ResidentKiB());
    for (int i = 0; i < Count; ++i)
      if (!done[i] && TcpState(clients[i]->Handle()) == TCP_CLOSE) {
        done[i] = true;
        cut.Values.push_back(std::chrono::duration<double>(TSteady::now() - sent[i]).count());
      }
  }
  int logged = CountInLog(log, "(write timeout)");
  std::printf("    %zu of %d cut, after %.1f s at the earliest, %.1f s at the latest; server "
              "log: %d write timeouts; server memory at the most %ld KiB\n",
              cut.Values.size(), Count, cut.At(0), cut.At(1.0), logged, peak);
  Verdict(cut.Values.size() == static_cast<size_t>(Count) && cut.At(0) >= 29.5 &&
          cut.At(1.0) <= 40 && logged == Count);
}

void ConnectionsAboveTheLimits(const std::string& store, const TContent& content) {
  std::printf("[4] limits of 300 connections, 64 per address: 200 clients served (from 4 "
              "hosts) while 10 more hosts open 100 silent connections each, again and again, "
              "for 20 s\n");
  std::string log = store + "/soak4.log";
  auto server = std::make_unique<TServerProcess>(
      WEBSETUP_TOOL, store, std::vector<std::string>{"--max-connections", "300"}, log);
  net::io_context io;
  TTally tally;
  std::atomic<bool> stop{false}, stopAbuse{false};
  auto clients = StartClients(io, server->Port(), 200, 50, 60, content, tally, stop, 50ms);
  TIoThread thread(io);
  std::this_thread::sleep_for(2s);
  int64_t before = 0;
  net::post(io, [&] { before = tally.Ok; });
  net::io_context abuseIo;
  TAbuser::TCounts counts;
  for (int i = 0; i < 1000; ++i) {
    auto a = std::make_shared<TAbuser>(abuseIo, server->Port(),
                                       "127.0.0." + std::to_string(70 + i / 100), false, counts,
                                       stopAbuse);
    net::post(abuseIo, [a] { a->Start(); });
  }
  TIoThread abuse(abuseIo);
  std::this_thread::sleep_for(20s);
  stop = true;
  stopAbuse = true;
  thread.Join();
  abuse.Join();
  int connected = static_cast<int>(
      std::count_if(clients.begin(), clients.end(), [](auto& c) { return c->Connected(); }));
  server.reset(); // its last counts of held-back lines go out as it stops
  int64_t serverFull = RefusedInLog(log, "refused (connection limit)");
  int64_t addressFull = RefusedInLog(log, "refused (address limit)");
  int refusalLines = CountInLog(log, "\"refused (");
  std::printf("    served clients: %d connected, %lld answered (%lld while the limits held), "
              "%lld failed, %s\n",
              connected, static_cast<long long>(tally.Ok),
              static_cast<long long>(tally.Ok - before), static_cast<long long>(tally.Failed),
              tally.Times.Text().c_str());
  std::printf("%s", tally.Failures().c_str());
  std::printf("    silent connections: %lld opened, %lld refused at once, %lld cut at the "
              "first-byte deadline; server log: %lld refused at the connection limit, %lld at "
              "the address limit, %d without a request; %d lines for the refusals\n",
              static_cast<long long>(counts.Attempts), static_cast<long long>(counts.Refused),
              static_cast<long long>(counts.Cut), static_cast<long long>(serverFull),
              static_cast<long long>(addressFull), CountInLog(log, "\"no request (timeout)\""),
              refusalLines);
  // The log holds a flood as a few lines a second and a count.
  Verdict(connected == 200 && tally.Failed == 0 && tally.Ok > before && serverFull > 0 &&
          addressFull > 0 && refusalLines < 30 * 2 * 21);
}

} // namespace

int main(int argc, char** argv) {
  int seconds = argc > 1 ? std::max(std::atoi(argv[1]), 6) : 60;
  TTempStore temp;
  TContent content;
  content.Manifest = "[installer]\r\nappName=Soak\r\n";
  std::minstd_rand random(7);
  for (auto [id, size] : {std::pair<int32_t, size_t>{1, 4096}, {2, 256 * 1024}}) {
    std::string bytes(size, '\0');
    for (char& c : bytes)
      c = static_cast<char>(random());
    temp.AddBlob(id, bytes);
    content.Blobs[id] = bytes;
  }
  {
    std::ofstream large(temp.Dir() + "/blobs/3", std::ios::binary);
    std::string block(1 << 20, 'L');
    for (int64_t written = 0; written < LargeSize; written += static_cast<int64_t>(block.size()))
      large.write(block.data(), static_cast<std::streamsize>(block.size()));
  }
  temp.IndexBlob(3);
  temp.Publish(1, "Soak", content.Manifest);

  std::printf("server_soak: websetup serve on 127.0.0.1, default limits unless said; load "
              "average %s\n",
              LoadAverage().c_str());
  std::fflush(stdout);
  try {
    KeepAliveClients(temp.Dir(), content, seconds);
    SlowHeaderClients(temp.Dir(), content);
    ClientsThatNeverRead(temp.Dir());
    ConnectionsAboveTheLimits(temp.Dir(), content);
  } catch (const std::exception& e) {
    std::printf("server_soak: %s\n", e.what());
    return 1;
  }
  std::printf("server_soak: %s; load average %s\n", Passed ? "all parts passed" : "A PART FAILED",
              LoadAverage().c_str());
  return Passed ? 0 : 1;
}
