#include "server/HttpServer_impl.h"

#include "server/SocketProgress.h"

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <algorithm>
#include <array>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <optional>
#include <sstream>

namespace beast = boost::beast;
namespace http = beast::http;
namespace net = boost::asio;
using tcp = net::ip::tcp;
using TSteady = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

constexpr size_t FirstRead = 4096;
// The memory of an answer up to this size stays with its connection for the
// next one.
constexpr int64_t KeptAnswerSize = 16 * 1024;
// How often a pending answer is looked at; a quarter of the write time, so a
// stalled client goes within 1.25 write times of its last byte.
constexpr int WatchesPerWriteTime = 4;

// One client connection: reads requests one after the other and answers each,
// streaming file answers chunk by chunk. Every request, and every connection
// that ends before its first request, gets one line in the access log. Every
// handler catches: nothing may leave it into the io_context's threads.
class TClientConnection : public std::enable_shared_from_this<TClientConnection> {
public:
  TClientConnection(tcp::socket socket, TConnectionLimits::TTicket place,
                    const TConnectionContext& context)
      : FStream(std::move(socket)), FPlace(std::move(place)), FContext(context),
        FOptions(context.Options), FBuffer(FOptions.HeaderLimit + FOptions.BodyLimit + FirstRead),
        FWatchdog(FStream.get_executor()) {
    beast::error_code ec;
    // The header and the body go out in separate writes; without this the
    // second one waits for the client's delayed acknowledgement.
    FStream.socket().set_option(tcp::no_delay(true), ec);
    auto peer = FStream.socket().remote_endpoint(ec);
    FPeer = ec ? "?" : peer.address().to_string() + ":" + std::to_string(peer.port());
  }

  ~TClientConnection() {
    // Only a stopping server drops a connection with its request under way.
    if (FRecordOpen) {
      try {
        if (FWriting)
          FRecord.Bytes = Delivered();
        AddReason("server stopped");
        LogRecord();
      } catch (...) {
      }
    }
  }

  void Start() { WaitRequest(); }

private:
  void WaitRequest() {
    QuickAck();
    FParser.emplace();
    FParser->header_limit(static_cast<std::uint32_t>(FOptions.HeaderLimit));
    FParser->body_limit(FOptions.BodyLimit);
    if (FBuffer.size() > 0) {
      ReadRequest();
      return;
    }
    // A new connection must show its first byte soon: a host that opens
    // connections and sends nothing must not hold places for the idle time.
    // A kept-alive client that has been served may wait longer for its next.
    FStream.expires_after(FRequests == 0 ? FOptions.FirstByteTime : FOptions.IdleTime);
    FStream.async_read_some(
        FBuffer.prepare(FirstRead), [self = shared_from_this()](beast::error_code ec, size_t n) {
          self->Guard([&] {
            self->FBuffer.commit(n);
            if (!ec)
              return self->ReadRequest();
            if (self->FRequests == 0)
              self->LogNoRequest(ec == beast::error::timeout ? "no request (timeout)"
                                                             : "no request (closed)");
            self->Close();
          });
        });
  }

  void ReadRequest() {
    QuickAck();
    ++FRequests;
    FStarted = TSteady::now();
    FRecord = TAccessRecord{};
    FRecord.Time = std::chrono::system_clock::now();
    FRecord.Peer = FPeer;
    FRecordOpen = true;
    FStream.expires_after(FOptions.ReadTime);
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
      FContext.Service.Handle(request.body(), FState, FAnswer);
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
    FRecord.HttpStatus = 200;
    BeginAnswer(text.str(), FAnswer.Size());
    // Header and first part in one write: one packet for a small answer.
    TMemoryStream& head = FAnswer.Head->GetWriteStream();
    Write(std::array<net::const_buffer, 2>{
        net::buffer(FHeaderText), net::buffer(head.Memory(), static_cast<size_t>(head.GetSize()))});
  }

  void SendError(http::status status, const std::string& text, bool keepAlive) {
    http::response<http::string_body> error(status, FVersion);
    error.set(http::field::content_type, "text/plain");
    if (status == http::status::method_not_allowed)
      error.set(http::field::allow, "POST");
    error.body() = text + "\n";
    error.keep_alive(keepAlive);
    error.prepare_payload();
    FKeepAlive = keepAlive;
    FRecord.HttpStatus = static_cast<int>(status);
    if (FRecord.Request.empty())
      FRecord.Request = "-";
    std::ostringstream header;
    header << error.base();
    FErrorBody = std::move(error.body());
    BeginAnswer(header.str(), static_cast<int64_t>(FErrorBody.size()));
    Write(std::array<net::const_buffer, 2>{net::buffer(FHeaderText), net::buffer(FErrorBody)});
  }

  // Answers are watched by progress rather than by a deadline per write.
  void BeginAnswer(std::string header, int64_t bodySize) {
    FHeaderText = std::move(header);
    FRecord.Bytes = bodySize;
    FStream.expires_never();
    FWriting = true;
    FWritten = 0;
    FAckedAtAnswer = BytesAcknowledged(NativeHandle());
    FAckedSeen = FAckedAtAnswer;
    FLastMove = TSteady::now();
    Watch();
  }

  template <class TBuffers> void Write(const TBuffers& buffers) {
    net::async_write(FStream, buffers, [self = shared_from_this()](beast::error_code ec, size_t n) {
      self->Guard([&] { self->OnWritten(ec, n); });
    });
  }

  void OnWritten(beast::error_code ec, size_t n) {
    FWritten += static_cast<int64_t>(n);
    FLastMove = TSteady::now();
    if (ec)
      return Reject(FCutReason ? FCutReason : "write failed");
    if (TUpdateService::NextChunk(FAnswer, FChunk))
      return Write(net::buffer(FChunk.Memory(), static_cast<size_t>(FChunk.GetSize())));
    EndAnswer();
    Finish(FKeepAlive);
  }

  // The kernel wakes a waiting writer only once a third of the send buffer
  // is free, and that buffer tunes itself up to megabytes: a client that
  // reads steadily but slowly can leave one write pending far longer than any
  // sane time-out while its bytes keep moving. So a pending answer is judged
  // by what the client acknowledged, and cut only when nothing moved for the
  // write time, however long the whole answer takes.
  void Watch() {
    FWatchdog.expires_after(
        std::max<std::chrono::milliseconds>(FOptions.WriteTime / WatchesPerWriteTime, 1ms));
    FWatchdog.async_wait([self = shared_from_this()](beast::error_code ec) {
      self->Guard([&] {
        if (!ec && self->FWriting)
          self->OnWatch();
      });
    });
  }

  void OnWatch() {
    int64_t acked = BytesAcknowledged(NativeHandle());
    TSteady::time_point now = TSteady::now();
    if (acked != FAckedSeen) {
      FAckedSeen = acked;
      FLastMove = now;
    } else if (now - FLastMove >= FOptions.WriteTime) {
      return Cut("write timeout");
    }
    Watch();
  }

  // Ends a stalled answer at once: a reset, so that the kernel drops what the
  // client never took instead of holding it for retransmission. The pending
  // write then fails and logs.
  void Cut(const char* reason) {
    FCutReason = reason;
    FCutBytes = Delivered();
    beast::error_code ignored;
    FStream.socket().set_option(net::socket_base::linger(true, 0), ignored);
    FStream.socket().close(ignored);
  }

  void EndAnswer() {
    FWriting = false;
    FWatchdog.cancel();
  }

  // Bytes of the answer's body the client has taken.
  int64_t Delivered() {
    int64_t acked = BytesAcknowledged(NativeHandle());
    int64_t moved = acked >= 0 && FAckedAtAnswer >= 0 ? acked - FAckedAtAnswer : FWritten;
    return std::clamp<int64_t>(moved - static_cast<int64_t>(FHeaderText.size()), 0, FRecord.Bytes);
  }

  void Finish(bool keepAlive) {
    LogRecord();
    // A kept-alive connection mostly waits: it holds no chunk buffer and no
    // large answer meanwhile, only a small one's memory for the next.
    FAnswer.Blob.Close();
    if (FAnswer.Head && FAnswer.Head->GetWriteStream().GetSize() > KeptAnswerSize)
      FAnswer.Head.reset();
    FChunk = TMemoryStream();
    if (keepAlive)
      return WaitRequest();
    Close();
  }

  // A request that ends without a complete answer: logged, with the part of
  // an answer that went out, then the connection goes.
  void Reject(const std::string& reason) {
    if (FWriting) {
      FRecord.Bytes = FCutReason ? FCutBytes : Delivered();
      EndAnswer();
    }
    AddReason(reason);
    LogRecord();
    Close();
  }

  // Why a request ended early: in place of the request line when none was
  // read, else behind it.
  void AddReason(const std::string& reason) {
    FRecord.Kind = TAccessRecord::TKind::Cut;
    if (FRecord.Request.empty())
      FRecord.Request = reason;
    else
      FRecord.Request += " (" + reason + ")";
  }

  void LogRecord() {
    FRecordOpen = false;
    FRecord.Duration =
        std::chrono::duration_cast<std::chrono::microseconds>(TSteady::now() - FStarted);
    FContext.Record(FRecord);
  }

  void LogNoRequest(const char* reason) {
    TAccessRecord record;
    record.Kind = TAccessRecord::TKind::NoRequest;
    record.Time = std::chrono::system_clock::now();
    record.Peer = FPeer;
    record.Request = reason;
    record.Duration =
        std::chrono::duration_cast<std::chrono::microseconds>(TSteady::now() - FConnected);
    FContext.Record(record);
  }

  // Clients that send a request's header and body in two writes without
  // TCP_NODELAY hold the body back until the header is acknowledged; a delayed
  // acknowledgement here would then cost every request tens of milliseconds.
  // Linux drops out of quick-ack mode by itself, so it is set again per read.
  void QuickAck() {
    int one = 1;
    ::setsockopt(NativeHandle(), IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
  }

  int NativeHandle() { return FStream.socket().native_handle(); }

  void Close() {
    beast::error_code ignored;
    FWatchdog.cancel();
    FStream.socket().shutdown(tcp::socket::shutdown_both, ignored);
    FStream.socket().close(ignored);
  }

  // A handler that throws (the store failed under a file answer, memory ran
  // out) ends the connection; a request under way is logged as cut short.
  template <class F> void Guard(F&& f) {
    try {
      f();
    } catch (const std::exception& e) {
      Abandon(e.what());
    } catch (...) {
      Abandon("unknown error");
    }
  }

  void Abandon(const char* what) noexcept {
    try {
      if (FRecordOpen) {
        FRecord.Note = what;
        return Reject("cut short");
      }
    } catch (...) {
    }
    Close();
  }

  beast::tcp_stream FStream;
  TConnectionLimits::TTicket FPlace;
  const TConnectionContext& FContext;
  const TServerOptions& FOptions;
  beast::flat_buffer FBuffer;
  std::string FPeer;
  TSteady::time_point FConnected = TSteady::now();
  std::optional<http::request_parser<http::string_body>> FParser;
  TConnectionState FState;
  TAnswer FAnswer;
  TMemoryStream FChunk;
  std::string FHeaderText;
  std::string FErrorBody;
  TAccessRecord FRecord;
  bool FRecordOpen = false;
  int FRequests = 0;
  TSteady::time_point FStarted;
  bool FKeepAlive = false;
  unsigned FVersion = 11;
  // The answer being written.
  net::steady_timer FWatchdog;
  bool FWriting = false;
  int64_t FWritten = 0;
  int64_t FAckedAtAnswer = -1;
  int64_t FAckedSeen = -1;
  TSteady::time_point FLastMove;
  const char* FCutReason = nullptr;
  int64_t FCutBytes = 0;
};

} // namespace

void ServeConnection(tcp::socket socket, TConnectionLimits::TTicket place,
                     const TConnectionContext& context) {
  std::make_shared<TClientConnection>(std::move(socket), std::move(place), context)->Start();
}
