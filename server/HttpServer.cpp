#include "server/HttpServer_impl.h"

#include "server/AdminPages.h"

#include <boost/asio.hpp>

#include <algorithm>
#include <optional>
#include <thread>
#include <vector>

namespace net = boost::asio;
using tcp = net::ip::tcp;

namespace {

constexpr auto AcceptRetry = std::chrono::milliseconds(50);
constexpr int RefusalLinesPerSecond = 20;
// Scrapers and health checks are few; more of them at once are turned away.
constexpr int AdminConnections = 16;
constexpr int LooksPerTime = 4;
constexpr auto LongestLookPeriod = std::chrono::milliseconds(1000);

// One thread of the server with an io_context of its own, which no other
// thread runs: a connection's handlers never wait for a lock or a strand,
// and an answer leaves from the thread that read its request, without
// handing it over. The connections it serves are on its watch list.
struct TServerThread {
  // Before the io_context: the connections its handlers still hold leave
  // the list when it is destroyed.
  TWatchList Watch;
  net::io_context Io{1};
  net::steady_timer Looks{Io};
  std::thread Thread;
};

// How often the connections of a thread are looked at: often enough that
// a deadline passes by at most a quarter of the shortest time (a stalled
// answer is looked at every quarter of the write time anyway), and no more
// often than needed for that.
std::chrono::milliseconds LookPeriod(const TServerOptions& options) {
  auto shortest = std::min({options.FirstByteTime, options.ReadTime, options.IdleTime,
                            options.WriteTime / LooksPerTime});
  return std::clamp<std::chrono::milliseconds>(shortest / LooksPerTime,
                                               std::chrono::milliseconds(1), LongestLookPeriod);
}

} // namespace

struct THttpServer::TImpl {
  TImpl(TUpdateService& service, TAccessLog& log, const TServerOptions& options)
      : Options(options), Context{service, log, Metrics, Options},
        Limits(options.MaxConnections, options.MaxPerAddress), Refusals(log, RefusalLinesPerSecond),
        AdminLimits(AdminConnections, AdminConnections),
        Pages(service.Store(), Metrics, [this] { return Limits.Count(); }),
        Threads(static_cast<size_t>(
            std::max(options.Threads > 0 ? options.Threads
                                         : static_cast<int>(std::thread::hardware_concurrency()),
                     1))),
        Acceptor(Threads[0].Io), AdminAcceptor(Threads[0].Io), Period(LookPeriod(options)) {}

  void Accept();
  void Admit(tcp::socket socket, TServerThread& thread);
  void AcceptAdmin();
  void Look(TServerThread& thread);

  const TServerOptions Options;
  TServerMetrics Metrics;
  const TConnectionContext Context;
  // Before the threads' io_contexts: connections still held by their
  // handlers give their places back while those are destroyed.
  TConnectionLimits Limits;
  TLogThrottle Refusals;
  TConnectionLimits AdminLimits;
  const TAdminPages Pages;
  std::vector<TServerThread> Threads;
  // On the first thread; every thread in turn gets the next connection.
  tcp::acceptor Acceptor;
  // On the first thread too: its connections are few and short.
  tcp::acceptor AdminAcceptor;
  size_t NextThread = 0;
  const std::chrono::milliseconds Period;
  std::optional<net::signal_set> Signals;
  std::optional<net::steady_timer> RetryTimer;
  std::mutex StopMutex;
  bool Stopped = false;
};

void THttpServer::TImpl::Accept() {
  TServerThread& thread = Threads[NextThread];
  NextThread = (NextThread + 1) % Threads.size();
  Acceptor.async_accept(
      thread.Io, [this, &thread](boost::system::error_code ec, tcp::socket socket) {
        try {
          if (ec == net::error::operation_aborted || !Acceptor.is_open())
            return;
          if (ec) {
            // Out of descriptors and the like: try again shortly instead of
            // spinning.
            RetryTimer.emplace(Threads[0].Io, AcceptRetry);
            RetryTimer->async_wait([this](boost::system::error_code) {
              try {
                Accept();
              } catch (...) {
              }
            });
            return;
          }
          // The rest happens on the connection's own thread.
          net::post(thread.Io, [this, &thread, socket = std::move(socket)]() mutable {
            try {
              Admit(std::move(socket), thread);
            } catch (...) {
            }
          });
        } catch (...) {
        }
        Accept();
      });
}

// The admin listener runs on the first thread; its connections are few and short.
void THttpServer::TImpl::AcceptAdmin() {
  AdminAcceptor.async_accept([this](boost::system::error_code ec, tcp::socket socket) {
    try {
      if (ec == net::error::operation_aborted || !AdminAcceptor.is_open())
        return;
      TConnectionLimits::TTicket place;
      if (!ec && AdminLimits.Admit("admin", place) == TConnectionLimits::TVerdict::Admitted)
        ServeAdminConnection(std::move(socket), std::move(place), Pages);
    } catch (...) {
    }
    AcceptAdmin();
  });
}

// A connection beyond a limit is closed at once and logged (a flood of them
// as a count); the ones held go on undisturbed.
void THttpServer::TImpl::Admit(tcp::socket socket, TServerThread& thread) {
  boost::system::error_code ec;
  tcp::endpoint peer = socket.remote_endpoint(ec);
  if (ec)
    return; // gone before we looked
  TConnectionLimits::TTicket place;
  TConnectionLimits::TVerdict verdict = Limits.Admit(AddressKey(peer.address().to_string()), place);
  if (verdict == TConnectionLimits::TVerdict::Admitted)
    return ServeConnection(std::move(socket), std::move(place), Context, thread.Watch);
  socket.close(ec);
  TAccessRecord record;
  record.Kind = TAccessRecord::TKind::Refused;
  record.Time = std::chrono::system_clock::now();
  record.Peer = peer.address().to_string() + ":" + std::to_string(peer.port());
  record.Request = verdict == TConnectionLimits::TVerdict::AddressFull
                       ? "refused (address limit)"
                       : "refused (connection limit)";
  // Every refusal is counted; the log shows a flood as a count.
  Metrics.Count(record);
  Refusals.Write(record);
}

void THttpServer::TImpl::Look(TServerThread& thread) {
  thread.Looks.expires_after(Period);
  thread.Looks.async_wait([this, &thread](boost::system::error_code ec) {
    if (ec)
      return;
    try {
      thread.Watch.LookAll(TWatchList::TClock::now());
    } catch (...) {
    }
    try {
      Look(thread);
    } catch (...) {
    }
  });
}

THttpServer::THttpServer(TUpdateService& service, TAccessLog& log, const TServerOptions& options)
    : FImpl(std::make_unique<TImpl>(service, log, options)) {
  tcp::endpoint endpoint(net::ip::make_address(options.Address), options.Port);
  FImpl->Acceptor.open(endpoint.protocol());
  FImpl->Acceptor.set_option(net::socket_base::reuse_address(true));
  FImpl->Acceptor.bind(endpoint);
  FImpl->Acceptor.listen(net::socket_base::max_listen_connections);
  if (!options.AdminAddress.empty()) {
    tcp::endpoint admin(net::ip::make_address(options.AdminAddress), options.AdminPort);
    FImpl->AdminAcceptor.open(admin.protocol());
    FImpl->AdminAcceptor.set_option(net::socket_base::reuse_address(true));
    FImpl->AdminAcceptor.bind(admin);
    FImpl->AdminAcceptor.listen();
  }
}

THttpServer::~THttpServer() {
  Stop();
  Wait();
}

uint16_t THttpServer::Port() const { return FImpl->Acceptor.local_endpoint().port(); }

uint16_t THttpServer::AdminPort() const {
  return FImpl->AdminAcceptor.is_open() ? FImpl->AdminAcceptor.local_endpoint().port() : 0;
}

const TServerMetrics& THttpServer::Metrics() const { return FImpl->Metrics; }

int THttpServer::Connections() const { return FImpl->Limits.Count(); }

void THttpServer::StopOnSignals() {
  FImpl->Signals.emplace(FImpl->Threads[0].Io, SIGINT, SIGTERM);
  FImpl->Signals->async_wait([this](boost::system::error_code ec, int) {
    if (!ec)
      Stop();
  });
}

void THttpServer::Start() {
  FImpl->Accept();
  if (FImpl->AdminAcceptor.is_open())
    FImpl->AcceptAdmin();
  for (TServerThread& thread : FImpl->Threads) {
    FImpl->Look(thread);
    thread.Thread = std::thread([&io = thread.Io] {
      // A handler that threw past its own guard must not end the thread.
      while (!io.stopped()) {
        try {
          io.run();
        } catch (...) {
        }
      }
    });
  }
}

void THttpServer::Wait() {
  for (TServerThread& thread : FImpl->Threads)
    if (thread.Thread.joinable())
      thread.Thread.join();
  FImpl->Refusals.Flush();
}

void THttpServer::Stop() {
  std::lock_guard<std::mutex> guard(FImpl->StopMutex);
  if (FImpl->Stopped)
    return;
  FImpl->Stopped = true;
  net::post(FImpl->Threads[0].Io, [impl = FImpl.get()] {
    boost::system::error_code ignored;
    impl->Acceptor.close(ignored);
    impl->AdminAcceptor.close(ignored);
  });
  for (TServerThread& thread : FImpl->Threads)
    thread.Io.stop();
}
