#include "server/HttpServer_impl.h"

#include "server/AdminPages.h"

#include <boost/asio.hpp>

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

} // namespace

struct THttpServer::TImpl {
  TImpl(TUpdateService& service, TAccessLog& log, const TServerOptions& options)
      : Options(options), Context{service, log, Metrics, Options},
        Limits(options.MaxConnections, options.MaxPerAddress), Refusals(log, RefusalLinesPerSecond),
        AdminLimits(AdminConnections, AdminConnections),
        Pages(service.Store(), Metrics, [this] { return Limits.Count(); }), Acceptor(Io),
        AdminAcceptor(Io) {}

  void Accept();
  void Admit(tcp::socket socket);
  void AcceptAdmin();

  const TServerOptions Options;
  TServerMetrics Metrics;
  const TConnectionContext Context;
  // Before the io_context: connections still held by its handlers give
  // their places back while it is destroyed.
  TConnectionLimits Limits;
  TLogThrottle Refusals;
  TConnectionLimits AdminLimits;
  const TAdminPages Pages;
  net::io_context Io;
  tcp::acceptor Acceptor;
  tcp::acceptor AdminAcceptor;
  std::optional<net::signal_set> Signals;
  std::optional<net::steady_timer> RetryTimer;
  std::vector<std::thread> Threads;
  std::mutex StopMutex;
  bool Stopped = false;
};

void THttpServer::TImpl::Accept() {
  Acceptor.async_accept(net::make_strand(Io),
                        [this](boost::system::error_code ec, tcp::socket socket) {
                          try {
                            if (ec == net::error::operation_aborted || !Acceptor.is_open())
                              return;
                            if (ec) {
                              // Out of descriptors and the like: try again shortly instead of
                              // spinning.
                              RetryTimer.emplace(Io, AcceptRetry);
                              RetryTimer->async_wait([this](boost::system::error_code) {
                                try {
                                  Accept();
                                } catch (...) {
                                }
                              });
                              return;
                            }
                            Admit(std::move(socket));
                          } catch (...) {
                          }
                          Accept();
                        });
}

// The admin listener shares the threads; its connections are few and short.
void THttpServer::TImpl::AcceptAdmin() {
  AdminAcceptor.async_accept(
      net::make_strand(Io), [this](boost::system::error_code ec, tcp::socket socket) {
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
void THttpServer::TImpl::Admit(tcp::socket socket) {
  boost::system::error_code ec;
  tcp::endpoint peer = socket.remote_endpoint(ec);
  if (ec)
    return; // gone before we looked
  TConnectionLimits::TTicket place;
  TConnectionLimits::TVerdict verdict = Limits.Admit(AddressKey(peer.address().to_string()), place);
  if (verdict == TConnectionLimits::TVerdict::Admitted)
    return ServeConnection(std::move(socket), std::move(place), Context);
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
  FImpl->Signals.emplace(FImpl->Io, SIGINT, SIGTERM);
  FImpl->Signals->async_wait([this](boost::system::error_code ec, int) {
    if (!ec)
      FImpl->Io.stop();
  });
}

void THttpServer::Start() {
  FImpl->Accept();
  if (FImpl->AdminAcceptor.is_open())
    FImpl->AcceptAdmin();
  int threads = FImpl->Options.Threads > 0 ? FImpl->Options.Threads
                                           : static_cast<int>(std::thread::hardware_concurrency());
  for (int i = 0; i < std::max(threads, 1); ++i)
    FImpl->Threads.emplace_back([impl = FImpl.get()] {
      // A handler that threw past its own guard must not end the thread.
      while (!impl->Io.stopped()) {
        try {
          impl->Io.run();
        } catch (...) {
        }
      }
    });
}

void THttpServer::Wait() {
  for (auto& t : FImpl->Threads)
    if (t.joinable())
      t.join();
  FImpl->Threads.clear();
  FImpl->Refusals.Flush();
}

void THttpServer::Stop() {
  std::lock_guard<std::mutex> guard(FImpl->StopMutex);
  if (FImpl->Stopped)
    return;
  FImpl->Stopped = true;
  net::post(FImpl->Io, [impl = FImpl.get()] {
    boost::system::error_code ignored;
    impl->Acceptor.close(ignored);
    impl->AdminAcceptor.close(ignored);
  });
  FImpl->Io.stop();
}
