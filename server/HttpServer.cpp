#include "server/HttpServer.h"

// Asio of this Boost uses std::exchange without including <utility> itself.
#include <utility>

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <array>
#include <atomic>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

namespace beast = boost::beast;
namespace http = beast::http;
namespace net = boost::asio;
using tcp = net::ip::tcp;

namespace {

constexpr size_t FirstRead = 4096;
constexpr auto AcceptRetry = std::chrono::milliseconds(50);

} // namespace

struct THttpServer::TImpl {
  TImpl(TUpdateService& service, TAccessLog& log, const TServerOptions& options)
      : Service(service), Log(log), Options(options), Acceptor(Io) {}

  void Accept();

  TUpdateService& Service;
  TAccessLog& Log;
  TServerOptions Options;
  net::io_context Io;
  tcp::acceptor Acceptor;
  std::optional<net::signal_set> Signals;
  std::optional<net::steady_timer> RetryTimer;
  std::vector<std::thread> Threads;
  std::atomic<int> Connections{0};
  std::mutex StopMutex;
  bool Stopped = false;
};

namespace {

// One client connection: reads requests one after the other and answers each,
// streaming file answers chunk by chunk. Every handler catches: nothing may
// leave it into the io_context's threads.
class TClientConnection : public std::enable_shared_from_this<TClientConnection> {
public:
  TClientConnection(tcp::socket socket, THttpServer::TImpl& server)
      : FStream(std::move(socket)), FServer(server),
        FBuffer(server.Options.HeaderLimit + server.Options.BodyLimit + FirstRead) {
    ++FServer.Connections;
    beast::error_code ec;
    // The header and the body go out in separate writes; without this the
    // second one waits for the client's delayed acknowledgement.
    FStream.socket().set_option(tcp::no_delay(true), ec);
    auto peer = FStream.socket().remote_endpoint(ec);
    FPeer = ec ? "?" : peer.address().to_string() + ":" + std::to_string(peer.port());
  }
  ~TClientConnection() { --FServer.Connections; }

  void Start() { WaitRequest(); }

private:
  using TSelf = std::shared_ptr<TClientConnection>;

  void WaitRequest() {
    QuickAck();
    FParser.emplace();
    FParser->header_limit(static_cast<std::uint32_t>(FServer.Options.HeaderLimit));
    FParser->body_limit(FServer.Options.BodyLimit);
    if (FBuffer.size() > 0) {
      ReadRequest();
      return;
    }
    // Waiting for the first byte is idle time; the request itself then has
    // ReadTime to arrive in full.
    FStream.expires_after(FServer.Options.IdleTime);
    FStream.async_read_some(FBuffer.prepare(FirstRead),
                            [self = shared_from_this()](beast::error_code ec, size_t n) {
                              self->Guard([&] {
                                self->FBuffer.commit(n);
                                if (ec)
                                  return self->Close();
                                self->ReadRequest();
                              });
                            });
  }

  void ReadRequest() {
    QuickAck();
    FStarted = std::chrono::steady_clock::now();
    FRecord = TAccessRecord{};
    FRecord.Time = std::chrono::system_clock::now();
    FRecord.Peer = FPeer;
    FStream.expires_after(FServer.Options.ReadTime);
    http::async_read(FStream, FBuffer, *FParser,
                     [self = shared_from_this()](beast::error_code ec, size_t) {
                       self->Guard([&] { self->OnRead(ec); });
                     });
  }

  void OnRead(beast::error_code ec) {
    if (ec == beast::error::timeout)
      return Reject("read timeout");
    if (ec == http::error::body_limit)
      return SendError(http::status::payload_too_large, "The request is too large", false);
    if (ec == http::error::header_limit)
      return SendError(http::status::request_header_fields_too_large,
                       "The request header is too large", false);
    if (ec && ec.category() == http::make_error_code(http::error::end_of_stream).category() &&
        ec != http::error::end_of_stream)
      return SendError(http::status::bad_request, "Malformed HTTP request", false);
    if (ec)
      return Reject(ec == http::error::end_of_stream ? "closed mid-request" : "connection lost");
    Handle(FParser->release());
  }

  void Handle(http::request<http::string_body> request) {
    FKeepAlive = request.keep_alive();
    FVersion = request.version();
    std::string target(request.target());
    FRecord.Request = std::string(request.method_string()) + " " + target;
    if (target.substr(0, target.find('?')) != THttpServer::Path)
      return SendError(http::status::not_found, "Not found", FKeepAlive);
    if (request.method() != http::verb::post)
      return SendError(http::status::method_not_allowed, "Only POST is served here", FKeepAlive);
    try {
      FAnswer = FServer.Service.Handle(std::move(request.body()));
    } catch (const EBadRequest& e) {
      return SendError(http::status::bad_request, e.Message(), false);
    } catch (const std::exception& e) {
      FRecord.Command = e.what();
      return SendError(http::status::internal_server_error, "Internal error", false);
    }
    FRecord.Command = FAnswer.Command;
    FRecord.AnswerStatus = FAnswer.Status;
    FRecord.Note = FAnswer.Note;
    SendAnswer();
  }

  void SendAnswer() {
    http::response<http::empty_body> header(http::status::ok, FVersion);
    header.set(http::field::content_type, "application/octet-stream");
    header.content_length(static_cast<std::uint64_t>(FAnswer.Size()));
    header.keep_alive(FKeepAlive);
    std::ostringstream text;
    text << header.base();
    FHeaderText = text.str();
    FRecord.HttpStatus = 200;
    FRecord.Bytes = FAnswer.Size();
    // Header and first part in one write: one packet for a small answer.
    TMemoryStream& head = FAnswer.Head->GetWriteStream();
    Write(std::array<net::const_buffer, 2>{
        net::buffer(FHeaderText), net::buffer(head.Memory(), static_cast<size_t>(head.GetSize()))});
  }

  template <class TBuffers> void Write(const TBuffers& buffers) {
    FStream.expires_after(FServer.Options.WriteTime);
    net::async_write(FStream, buffers, [self = shared_from_this()](beast::error_code ec, size_t) {
      self->Guard([&] {
        if (ec)
          return self->Reject("write failed");
        if (TUpdateService::NextChunk(self->FAnswer, self->FChunk))
          return self->Write(
              net::buffer(self->FChunk.Memory(), static_cast<size_t>(self->FChunk.GetSize())));
        self->Finish(self->FKeepAlive);
      });
    });
  }

  void SendError(http::status status, const std::string& text, bool keepAlive) {
    FError.emplace(status, FVersion);
    FError->set(http::field::content_type, "text/plain");
    if (status == http::status::method_not_allowed)
      FError->set(http::field::allow, "POST");
    FError->body() = text + "\n";
    FError->keep_alive(keepAlive);
    FError->prepare_payload();
    FRecord.HttpStatus = static_cast<int>(status);
    FRecord.Bytes = static_cast<int64_t>(FError->body().size());
    if (FRecord.Request.empty())
      FRecord.Request = "-";
    FStream.expires_after(FServer.Options.WriteTime);
    http::async_write(FStream, *FError,
                      [self = shared_from_this(), keepAlive](beast::error_code ec, size_t) {
                        self->Guard([&] {
                          if (ec)
                            return self->Reject("write failed");
                          self->Finish(keepAlive);
                        });
                      });
  }

  void Finish(bool keepAlive) {
    LogRecord();
    FAnswer = TAnswer{};
    if (keepAlive)
      return WaitRequest();
    Close();
  }

  // A request that ends without a complete answer: logged, then the
  // connection goes.
  void Reject(const char* reason) {
    if (FRecord.Request.empty())
      FRecord.Request = reason;
    else
      FRecord.Request += std::string(" (") + reason + ")";
    LogRecord();
    Close();
  }

  void LogRecord() {
    FRecord.Duration = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - FStarted);
    FServer.Log.Write(FRecord);
  }

  // Clients that send a request's header and body in two writes without
  // TCP_NODELAY hold the body back until the header is acknowledged; a delayed
  // acknowledgement here would then cost every request tens of milliseconds.
  // Linux drops out of quick-ack mode by itself, so it is set again per read.
  void QuickAck() {
    int one = 1;
    ::setsockopt(FStream.socket().native_handle(), IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
  }

  void Close() {
    beast::error_code ignored;
    FStream.socket().shutdown(tcp::socket::shutdown_both, ignored);
    FStream.socket().close(ignored);
  }

  template <class F> void Guard(F&& f) {
    try {
      f();
    } catch (...) {
      Close();
    }
  }

  beast::tcp_stream FStream;
  THttpServer::TImpl& FServer;
  beast::flat_buffer FBuffer;
  std::string FPeer;
  std::optional<http::request_parser<http::string_body>> FParser;
  std::string FHeaderText;
  std::optional<http::response<http::string_body>> FError;
  TAnswer FAnswer;
  TMemoryStream FChunk;
  TAccessRecord FRecord;
  std::chrono::steady_clock::time_point FStarted;
  bool FKeepAlive = false;
  unsigned FVersion = 11;
};

} // namespace

void THttpServer::TImpl::Accept() {
  Acceptor.async_accept(net::make_strand(Io), [this](beast::error_code ec, tcp::socket socket) {
    try {
      if (ec == net::error::operation_aborted || !Acceptor.is_open())
        return;
      if (ec) {
        // Out of descriptors and the like: try again shortly instead of spinning.
        RetryTimer.emplace(Io, AcceptRetry);
        RetryTimer->async_wait([this](beast::error_code) {
          try {
            Accept();
          } catch (...) {
          }
        });
        return;
      }
      if (Connections.load() >= Options.MaxConnections) {
        beast::error_code ignored;
        socket.close(ignored);
      } else {
        std::make_shared<TClientConnection>(std::move(socket), *this)->Start();
      }
    } catch (...) {
    }
    Accept();
  });
}

THttpServer::THttpServer(TUpdateService& service, TAccessLog& log, const TServerOptions& options)
    : FImpl(std::make_unique<TImpl>(service, log, options)) {
  tcp::endpoint endpoint(net::ip::make_address(options.Address), options.Port);
  FImpl->Acceptor.open(endpoint.protocol());
  FImpl->Acceptor.set_option(net::socket_base::reuse_address(true));
  FImpl->Acceptor.bind(endpoint);
  FImpl->Acceptor.listen(net::socket_base::max_listen_connections);
}

THttpServer::~THttpServer() {
  Stop();
  Wait();
}

uint16_t THttpServer::Port() const { return FImpl->Acceptor.local_endpoint().port(); }

int THttpServer::Connections() const { return FImpl->Connections.load(); }

void THttpServer::StopOnSignals() {
  FImpl->Signals.emplace(FImpl->Io, SIGINT, SIGTERM);
  FImpl->Signals->async_wait([this](beast::error_code ec, int) {
    if (!ec)
      FImpl->Io.stop();
  });
}

void THttpServer::Start() {
  FImpl->Accept();
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
}

void THttpServer::Stop() {
  std::lock_guard<std::mutex> guard(FImpl->StopMutex);
  if (FImpl->Stopped)
    return;
  FImpl->Stopped = true;
  net::post(FImpl->Io, [impl = FImpl.get()] {
    beast::error_code ignored;
    impl->Acceptor.close(ignored);
  });
  FImpl->Io.stop();
}
