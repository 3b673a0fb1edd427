#include "server/HttpServer_impl.h"

#include "server/SocketProgress.h"

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <optional>
#include <sstream>

namespace beast = boost::beast;
namespace http = beast::http;
namespace net = boost::asio;
using tcp = net::ip::tcp;
using TSteady = TWatchList::TClock;
using namespace std::chrono_literals;

namespace {

constexpr size_t FirstRead = 4096;
constexpr size_t LargestRead = 64 * 1024;
// The memory of an answer up to this size stays with its connection for the
// next one.
constexpr int64_t KeptAnswerSize = 16 * 1024;
// How often a pending answer is looked at; a quarter of the write time, so a
// stalled client goes within 1.25 write times of its last byte (and a look
// period).
constexpr int WatchesPerWriteTime = 4;

// The request line and the body of one request, read into strings that the
// connection keeps from request to request; no header field is kept. The
// parser itself acts on the fields that matter to the server (length,
// transfer coding, connection) and enforces the limits.
class TRequestParser : public http::basic_parser<true> {
public:
  TRequestParser(std::string& line, std::string& body) : FLine(line), FBody(body) {
    FLine.clear();
    FBody.clear();
  }

  http::verb Method() const { return FMethod; }
  std::string_view Target() const { return std::string_view(FLine).substr(FTargetAt); }
  unsigned Version() const { return FVersion; }

private:
  void on_request_impl(http::verb method, beast::string_view methodText, beast::string_view target,
                       int version, beast::error_code&) override {
    FMethod = method;
    FVersion = static_cast<unsigned>(version);
    FLine.assign(methodText.data(), methodText.size());
    FLine += ' ';
    FTargetAt = FLine.size();
    FLine.append(target.data(), target.size());
  }
  void on_response_impl(int, beast::string_view, int, beast::error_code&) override {}
  void on_field_impl(http::field, beast::string_view, beast::string_view,
                     beast::error_code&) override {}
  void on_header_impl(beast::error_code&) override {}
  void on_body_init_impl(const boost::optional<std::uint64_t>&, beast::error_code&) override {}
  size_t on_body_impl(beast::string_view bytes, beast::error_code&) override {
    FBody.append(bytes.data(), bytes.size());
    return bytes.size();
  }
  void on_chunk_header_impl(std::uint64_t, beast::string_view, beast::error_code&) override {}
  size_t on_chunk_body_impl(std::uint64_t, beast::string_view bytes, beast::error_code&) override {
    return on_body_impl(bytes, FIgnored);
  }
  void on_finish_impl(beast::error_code&) override {}

  std::string& FLine; // method, a blank, target: the access log's request
  std::string& FBody;
  http::verb FMethod = http::verb::unknown;
  size_t FTargetAt = 0;
  unsigned FVersion = 11;
  beast::error_code FIgnored;
};

// The header of a 200 answer, byte for byte as Beast writes it for the same
// fields: status line, content type, length, and the connection field that
// the version and keep-alive call for. Made without a stream or allocation.
class TAnswerHeader {
public:
  void Make(unsigned version, int64_t contentLength, bool keepAlive) {
    FLength = 0;
    Add("HTTP/");
    AddNumber(version / 10);
    Add(".");
    AddNumber(version % 10);
    Add(" 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: ");
    AddNumber(contentLength);
    if (version >= 11 && !keepAlive)
      Add("\r\nConnection: close");
    else if (version < 11 && keepAlive)
      Add("\r\nConnection: keep-alive");
    Add("\r\n\r\n");
  }
  net::const_buffer Buffer() const { return net::buffer(FText.data(), FLength); }

private:
  void Add(std::string_view text) {
    std::copy(text.begin(), text.end(), FText.begin() + FLength);
    FLength += text.size();
  }
  void AddNumber(int64_t n) {
    FLength = static_cast<size_t>(
        std::to_chars(FText.data() + FLength, FText.data() + FText.size(), n).ptr - FText.data());
  }

  std::array<char, 160> FText;
  size_t FLength = 0;
};

// One client connection: reads requests one after the other and answers each,
// streaming file answers chunk by chunk. Every request, and every connection
// that ends before its first request, gets one line in the access log. Every
// handler catches: nothing may leave it into the io_context's thread. Its
// deadlines are looked at by the thread's watch list, not by timers.
class TClientConnection : public std::enable_shared_from_this<TClientConnection>,
                          private TWatchList::TWatched {
public:
  TClientConnection(tcp::socket socket, TConnectionLimits::TTicket place,
                    const TConnectionContext& context, TWatchList& watch)
      : FSocket(std::move(socket)), FPlace(std::move(place)), FContext(context),
        FOptions(context.Options), FWatch(watch),
        FBuffer(FOptions.HeaderLimit + FOptions.BodyLimit + FirstRead),
        FWatchPeriod(
            std::max<std::chrono::milliseconds>(FOptions.WriteTime / WatchesPerWriteTime, 1ms)) {
    beast::error_code ec;
    // The header and the body go out in separate writes; without this the
    // second one waits for the client's delayed acknowledgement.
    FSocket.set_option(tcp::no_delay(true), ec);
    auto peer = FSocket.remote_endpoint(ec);
    FPeer = ec ? "?" : peer.address().to_string() + ":" + std::to_string(peer.port());
  }

  ~TClientConnection() {
    FWatch.Remove(*this);
    // Only a stopping server drops a connection with its request under way.
    if (FRecordOpen) {
      try {
        if (FPhase == TPhase::Writing)
          FRecord.Bytes = Delivered();
        AddReason("server stopped");
        LogRecord();
      } catch (...) {
      }
    }
  }

  void Start() {
    FWatch.Add(*this);
    WaitRequest();
  }

private:
  enum class TPhase { Waiting, Reading, Writing, Closed };

  void WaitRequest() {
    if (FBuffer.size() > 0)
      return BeginRequest();
    // A new connection must show its first byte soon: a host that opens
    // connections and sends nothing must not hold places for the idle time.
    // A kept-alive client that has been served may wait longer for its next.
    EnterPhase(TPhase::Waiting, FRequests == 0 ? FOptions.FirstByteTime : FOptions.IdleTime);
    // Set before the request comes, the kernel acknowledges its first part
    // as it arrives, without waiting for this thread to be scheduled.
    QuickAck();
    FSocket.async_read_some(
        FBuffer.prepare(FirstRead), [self = shared_from_this()](beast::error_code ec, size_t n) {
          self->Guard([&] {
            self->FBuffer.commit(n);
            if (!ec)
              return self->BeginRequest();
            if (self->FRequests == 0)
              self->LogNoRequest(self->FExpired ? "no request (timeout)" : "no request (closed)");
            self->Close();
          });
        });
  }

  void BeginRequest() {
    ++FRequests;
    FStarted = TSteady::now();
    NewRecord();
    FRecordOpen = true;
    FParser.emplace(FRequestLine, FBody);
    FParser->header_limit(static_cast<std::uint32_t>(FOptions.HeaderLimit));
    FParser->body_limit(FOptions.BodyLimit);
    EnterPhase(TPhase::Reading, FOptions.ReadTime);
    Parse();
  }

  // What Beast's read does, parse what came and read until the request is
  // whole, with a look between the reads: a request that came in part (a
  // client that sends the header and the body in two writes without
  // TCP_NODELAY holds the body back until the header is acknowledged) gets
  // its acknowledgement at once instead of after the delayed-ACK time.
  void Parse() {
    for (;;) {
      beast::error_code ec;
      size_t used = 0;
      if (FBuffer.size() > 0) {
        used = FParser->put(FBuffer.data(), ec);
        FBuffer.consume(used);
      }
      if (!ec && FParser->is_done())
        return OnRead(ec);
      if (ec && ec != http::error::need_more)
        return OnRead(ec);
      if (!ec && used > 0)
        continue;
      break;
    }
    if (FParser->got_some())
      QuickAck();
    size_t room = std::min(std::max<size_t>(512, FBuffer.capacity() - FBuffer.size()),
                           std::min(LargestRead, FBuffer.max_size() - FBuffer.size()));
    if (room == 0)
      return OnRead(http::error::buffer_overflow);
    FSocket.async_read_some(FBuffer.prepare(room),
                            [self = shared_from_this()](beast::error_code ec, size_t n) {
                              self->Guard([&] { self->OnSomeRead(ec, n); });
                            });
  }

  void OnSomeRead(beast::error_code ec, size_t n) {
    FBuffer.commit(n);
    if (ec == net::error::eof) {
      if (!FParser->got_some())
        return OnRead(http::error::end_of_stream);
      ec = {};
      FParser->put_eof(ec);
      return OnRead(ec);
    }
    if (ec)
      return OnRead(ec);
    Parse();
  }

  void OnRead(beast::error_code ec) {
    if (ec && FExpired)
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
    Handle();
  }

  void Handle() {
    FKeepAlive = FParser->keep_alive();
    FVersion = FParser->Version();
    FRecord.Request = FRequestLine;
    std::string_view target = FParser->Target();
    if (target.substr(0, target.find('?')) != THttpServer::Path)
      return SendError(http::status::not_found, "Not found", FKeepAlive);
    if (FParser->Method() != http::verb::post)
      return SendError(http::status::method_not_allowed, "Only POST is served here", FKeepAlive);
    try {
      FContext.Service.Handle(FBody, FState, FAnswer);
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
    FHeader.Make(FVersion, FAnswer.Size(), FKeepAlive);
    FRecord.HttpStatus = 200;
    BeginAnswer(FHeader.Buffer().size(), FAnswer.Size());
    // Header and first part in one write: one packet for a small answer.
    TMemoryStream& head = FAnswer.Head->GetWriteStream();
    Write(std::array<net::const_buffer, 2>{
        FHeader.Buffer(), net::buffer(head.Memory(), static_cast<size_t>(head.GetSize()))});
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
    FErrorHeader = header.str();
    FErrorBody = std::move(error.body());
    BeginAnswer(FErrorHeader.size(), static_cast<int64_t>(FErrorBody.size()));
    Write(std::array<net::const_buffer, 2>{net::buffer(FErrorHeader), net::buffer(FErrorBody)});
  }

  // Answers are watched by progress rather than by a deadline per write.
  void BeginAnswer(size_t headerSize, int64_t bodySize) {
    FHeaderSize = static_cast<int64_t>(headerSize);
    FRecord.Bytes = bodySize;
    EnterPhase(TPhase::Writing, 0ms);
    FWritten = 0;
    FNextWatch = FPhaseStart + FWatchPeriod;
    FLastMove = FPhaseStart;
    // All sent before is acknowledged, unless the client is slow already.
    FAckedSeen = FSentBefore;
  }

  template <class TBuffers> void Write(const TBuffers& buffers) {
    net::async_write(FSocket, buffers, [self = shared_from_this()](beast::error_code ec, size_t n) {
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
  void Look(TSteady::time_point now) override {
    Guard([&] {
      switch (FPhase) {
      case TPhase::Waiting:
      case TPhase::Reading:
        if (now >= FDeadline && !FExpired) {
          // The pending read ends with an error, and its handler says why.
          FExpired = true;
          beast::error_code ignored;
          FSocket.cancel(ignored);
        }
        break;
      case TPhase::Writing:
        if (now >= FNextWatch) {
          // On the answer's own beat, not the look's: a look comes up to a
          // look period late, and those delays must not add up.
          FNextWatch += FWatchPeriod;
          if (FNextWatch <= now)
            FNextWatch = now + FWatchPeriod;
          OnWatch(now);
        }
        break;
      case TPhase::Closed: break;
      }
    });
  }

  void OnWatch(TSteady::time_point now) {
    int64_t acked = BytesAcknowledged(NativeHandle());
    if (acked != FAckedSeen) {
      FAckedSeen = acked;
      FLastMove = now;
    } else if (now - FLastMove >= FOptions.WriteTime) {
      Cut("write timeout");
    }
  }

  // Ends a stalled answer at once: a reset, so that the kernel drops what the
  // client never took instead of holding it for retransmission. The pending
  // write then fails and logs.
  void Cut(const char* reason) {
    FCutReason = reason;
    FCutBytes = Delivered();
    beast::error_code ignored;
    FSocket.set_option(net::socket_base::linger(true, 0), ignored);
    FSocket.close(ignored);
  }

  void EndAnswer() {
    FSentBefore += FWritten;
    FPhase = TPhase::Closed;
  }

  // Bytes of the answer's body the client has taken. The count of
  // acknowledged bytes starts at 0 with the connection.
  int64_t Delivered() {
    int64_t acked = BytesAcknowledged(NativeHandle());
    int64_t moved = acked >= 0 ? acked - FSentBefore : FWritten;
    return std::clamp<int64_t>(moved - FHeaderSize, 0, FRecord.Bytes);
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
    if (FPhase == TPhase::Writing) {
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

  // A new record for the next request; the strings of the last one lend it
  // their memory.
  void NewRecord() {
    TAccessRecord record;
    record.Request.swap(FRecord.Request);
    record.Request.clear();
    record.Peer.swap(FRecord.Peer);
    record.Peer = FPeer;
    record.Time = std::chrono::system_clock::now();
    FRecord = std::move(record);
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

  // Acknowledges what came of a request at once (see Parse). Linux drops
  // out of quick-ack mode by itself, so it is set again before every request
  // and whenever one came in parts.
  void QuickAck() {
    int one = 1;
    ::setsockopt(NativeHandle(), IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
  }

  int NativeHandle() { return FSocket.native_handle(); }

  void EnterPhase(TPhase phase, std::chrono::milliseconds limit) {
    FPhase = phase;
    FPhaseStart = TSteady::now();
    FDeadline = FPhaseStart + limit;
    FExpired = false;
  }

  void Close() {
    FPhase = TPhase::Closed;
    beast::error_code ignored;
    FSocket.shutdown(tcp::socket::shutdown_both, ignored);
    FSocket.close(ignored);
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

  tcp::socket FSocket;
  TConnectionLimits::TTicket FPlace;
  const TConnectionContext& FContext;
  const TServerOptions& FOptions;
  TWatchList& FWatch;
  beast::flat_buffer FBuffer;
  std::string FPeer;
  TSteady::time_point FConnected = TSteady::now();
  // The request being read.
  std::optional<TRequestParser> FParser;
  std::string FRequestLine;
  std::string FBody;
  // The answer being made and written.
  TConnectionState FState;
  TAnswer FAnswer;
  TMemoryStream FChunk;
  TAnswerHeader FHeader;
  std::string FErrorHeader;
  std::string FErrorBody;
  TAccessRecord FRecord;
  bool FRecordOpen = false;
  int FRequests = 0;
  TSteady::time_point FStarted;
  bool FKeepAlive = false;
  unsigned FVersion = 11;
  // What the watch list looks at.
  TPhase FPhase = TPhase::Waiting;
  TSteady::time_point FPhaseStart;
  TSteady::time_point FDeadline;
  bool FExpired = false;
  const std::chrono::milliseconds FWatchPeriod;
  TSteady::time_point FNextWatch;
  // The answer being written.
  int64_t FHeaderSize = 0;
  int64_t FWritten = 0;
  int64_t FSentBefore = 0; // bytes of earlier answers on this connection
  int64_t FAckedSeen = -1;
  TSteady::time_point FLastMove;
  const char* FCutReason = nullptr;
  int64_t FCutBytes = 0;
};

} // namespace

void ServeConnection(tcp::socket socket, TConnectionLimits::TTicket place,
                     const TConnectionContext& context, TWatchList& watch) {
  std::make_shared<TClientConnection>(std::move(socket), std::move(place), context, watch)->Start();
}
