#include "net/testing/KaTestHTTPServer.h"

#include "base/KaStrings.h"

#include <chrono>
#include <cstdio>
#include <stdexcept>

namespace {

const char* ReasonOf(int status) {
  switch (status) {
  case 200: return "OK";
  case 204: return "No Content";
  case 301: return "Moved Permanently";
  case 404: return "Not Found";
  case 407: return "Proxy Authentication Required";
  case 500: return "Internal Server Error";
  default: return "Status";
  }
}

// Reads from the connection into buffer until it holds a whole request head;
// false when the peer is gone first.
bool ReadHead(TTestSocket socket, std::string& buffer, size_t& headEnd,
              const std::atomic<bool>& stopping) {
  char chunk[4096];
  while ((headEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
    int n = TestReceive(socket, chunk, sizeof chunk, stopping);
    if (n <= 0)
      return false;
    buffer.append(chunk, static_cast<size_t>(n));
  }
  headEnd += 4;
  return true;
}

TTestRequest ParseHead(const std::string& head) {
  TTestRequest request;
  std::vector<std::string> lines = SplitLines(head);
  if (lines.empty())
    return request;
  std::string first = lines[0];
  request.Method = SplitFirst(" ", first);
  request.Target = SplitFirst(" ", first);
  request.Version = first;
  for (size_t i = 1; i < lines.size(); ++i) {
    if (lines[i].empty())
      continue;
    std::string value = lines[i];
    std::string name = SplitFirst(":", value);
    request.Headers.emplace_back(name, Trim(value));
  }
  return request;
}

std::string ChunkOf(const std::string& piece) {
  char size[16];
  std::snprintf(size, sizeof size, "%zx\r\n", piece.size());
  return size + piece + "\r\n";
}

} // namespace

std::string TTestRequest::Header(const std::string& name) const {
  for (const auto& [n, v] : Headers)
    if (SameText(n, name))
      return v;
  return std::string();
}

bool TTestRequest::HasHeader(const std::string& name) const {
  for (const auto& h : Headers)
    if (SameText(h.first, name))
      return true;
  return false;
}

TTestHTTPServer::TTestHTTPServer() {
  FListener.Reset(TestListenLoopback(FPort));
  if (!FListener)
    throw std::runtime_error("the test HTTP server found no loopback port");
  FAcceptor = std::thread([this] { AcceptLoop(); });
}

TTestHTTPServer::~TTestHTTPServer() {
  FStopping = true;
  TestShutdown(FListener.Get());
  FListener.Reset();
  FAcceptor.join();
  {
    std::lock_guard<std::mutex> lock(FLock);
    for (TTestSocket s : FOpen)
      TestShutdown(s);
  }
  for (std::thread& t : FWorkers)
    t.join();
}

std::string TTestHTTPServer::URL(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(FPort) + path;
}

void TTestHTTPServer::On(const std::string& path, TTestReply reply) {
  On(path, [reply](const TTestRequest&) { return reply; });
}

void TTestHTTPServer::On(const std::string& path, THandler handler) {
  std::lock_guard<std::mutex> lock(FLock);
  FHandlers[path] = std::move(handler);
}

void TTestHTTPServer::RequireProxyCredentials(const std::string& user,
                                              const std::string& password) {
  std::lock_guard<std::mutex> lock(FLock);
  FProxyCredentials = BasicCredentials(user, password);
}

std::string TTestHTTPServer::BasicCredentials(const std::string& user,
                                              const std::string& password) {
  return "Basic " + Base64Encode(user + ":" + password);
}

std::vector<TTestRequest> TTestHTTPServer::Requests() const {
  std::lock_guard<std::mutex> lock(FLock);
  return FRequests;
}

void TTestHTTPServer::AcceptLoop() {
  while (!FStopping) {
    TScopedTestSocket accepted(TestAccept(FListener.Get()));
    if (!accepted)
      continue;
    if (FStopping)
      break;
    TTestSocket s = accepted.Take(); // the worker's from here
    ++FConnections;
    std::lock_guard<std::mutex> lock(FLock);
    FOpen.push_back(s);
    FWorkers.emplace_back([this, s] { Serve(s); });
  }
}

TTestReply TTestHTTPServer::Answer(const TTestRequest& request) {
  std::string path = CopyBeforeFirst("?", request.Target);
  // A request through a proxy names the whole URL.
  if (path.rfind("http://", 0) == 0) {
    size_t slash = path.find('/', 7);
    path = slash == std::string::npos ? "/" : path.substr(slash);
  }
  THandler handler;
  {
    std::lock_guard<std::mutex> lock(FLock);
    FRequests.push_back(request);
    if (!FProxyCredentials.empty() && request.Header("Proxy-Authorization") != FProxyCredentials) {
      TTestReply challenge;
      challenge.Status = 407;
      challenge.Body = "proxy credentials needed";
      challenge.Headers = {{"Proxy-Authenticate", "Basic realm=\"websetup tests\""}};
      return challenge;
    }
    auto it = FHandlers.find(path);
    if (it != FHandlers.end())
      handler = it->second;
  }
  if (!handler) {
    TTestReply reply;
    reply.Status = 404;
    reply.Body = "not found";
    return reply;
  }
  return handler(request);
}

void TTestHTTPServer::Serve(TTestSocket socket) {
  TScopedTestSocket owned(socket);
  std::string buffer;
  bool keepOpen = true;
  bool reset = false;
  while (keepOpen && !FStopping) {
    size_t headEnd = 0;
    if (!ReadHead(socket, buffer, headEnd, FStopping))
      break;
    TTestRequest request = ParseHead(buffer.substr(0, headEnd));
    buffer.erase(0, headEnd);
    if (SameText(request.Header("Expect"), "100-continue") &&
        !TestSendAll(socket, "HTTP/1.1 100 Continue\r\n\r\n", 25))
      break;
    int64_t length = 0;
    TryStrToInt64(request.Header("Content-Length"), length);
    char chunk[4096];
    while (static_cast<int64_t>(buffer.size()) < length) {
      int n = TestReceive(socket, chunk, sizeof chunk, FStopping);
      if (n <= 0)
        break;
      buffer.append(chunk, static_cast<size_t>(n));
    }
    if (static_cast<int64_t>(buffer.size()) < length)
      break;
    request.Body = buffer.substr(0, static_cast<size_t>(length));
    buffer.erase(0, static_cast<size_t>(length));

    TTestReply reply = Answer(request);
    if (reply.Reset) {
      reset = true;
      break;
    }
    keepOpen = reply.Framing != TTestReply::TFraming::Close &&
               !SameText(request.Header("Connection"), "close") && request.Version == "HTTP/1.1";
    std::string head =
        "HTTP/1.1 " + std::to_string(reply.Status) + " " + ReasonOf(reply.Status) + "\r\n";
    if (!reply.ContentType.empty())
      head += "Content-Type: " + reply.ContentType + "\r\n";
    if (!reply.LastModified.empty())
      head += "Last-Modified: " + reply.LastModified + "\r\n";
    for (const auto& [n, v] : reply.Headers)
      head += n + ": " + v + "\r\n";
    switch (reply.Framing) {
    case TTestReply::TFraming::Length:
      head += "Content-Length: " + std::to_string(reply.Body.size()) + "\r\n";
      break;
    case TTestReply::TFraming::Chunked: head += "Transfer-Encoding: chunked\r\n"; break;
    case TTestReply::TFraming::Close: break;
    }
    head += keepOpen ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n";
    if (request.Method == "HEAD") {
      if (!TestSendAll(socket, head.data(), head.size()))
        break;
      continue;
    }
    // Without pauses the answer goes out in one piece, so no small segment
    // waits for an acknowledgement.
    std::string out = head;
    size_t piece = reply.PieceSize ? reply.PieceSize : reply.Body.size();
    bool sent = true;
    for (size_t at = 0; sent && at < reply.Body.size(); at += piece) {
      std::string part = reply.Body.substr(at, piece);
      if (reply.Framing == TTestReply::TFraming::Chunked)
        part = ChunkOf(part);
      if (reply.PieceDelayMs) {
        sent = TestSendAll(socket, out.data(), out.size());
        out.clear();
        std::this_thread::sleep_for(std::chrono::milliseconds(reply.PieceDelayMs));
      }
      out += part;
    }
    if (reply.Framing == TTestReply::TFraming::Chunked)
      out += "0\r\n\r\n";
    sent = sent && TestSendAll(socket, out.data(), out.size());
    if (!sent)
      break;
  }
  {
    std::lock_guard<std::mutex> lock(FLock);
    std::erase(FOpen, socket);
  }
  if (reset)
    TestReset(owned.Take());
}
