#include "server/testing/LoopbackClient.h"

#include "base/KaExceptions.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

TLoopbackClient::TLoopbackClient(uint16_t port, std::chrono::milliseconds timeout,
                                 const std::string& from) {
  FFd.Reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!FFd)
    throw Exception("socket() failed");
  timeval tv{};
  tv.tv_sec = static_cast<time_t>(timeout.count() / 1000);
  tv.tv_usec = static_cast<suseconds_t>((timeout.count() % 1000) * 1000);
  ::setsockopt(FFd.Get(), SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  ::setsockopt(FFd.Get(), SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
  int one = 1;
  ::setsockopt(FFd.Get(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  if (!from.empty()) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    if (::inet_pton(AF_INET, from.c_str(), &local.sin_addr) != 1 ||
        ::bind(FFd.Get(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0)
      throw Exception("Cannot connect from " + from);
  }
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(FFd.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
    throw Exception("Cannot connect to 127.0.0.1:" + std::to_string(port));
}

bool TLoopbackClient::SendRaw(const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t n = ::send(FFd.Get(), bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

void TLoopbackClient::SetPace(size_t bytes, std::chrono::milliseconds pause, int receiveBuffer) {
  FReadSize = std::clamp<size_t>(bytes, 1, 64 * 1024);
  FPause = pause;
  if (receiveBuffer > 0)
    ::setsockopt(FFd.Get(), SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
}

bool TLoopbackClient::Fill() {
  char buffer[64 * 1024];
  if (FPause.count() > 0)
    std::this_thread::sleep_for(FPause);
  for (;;) {
    ssize_t n = ::recv(FFd.Get(), buffer, FReadSize, 0);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return false;
    FPending.append(buffer, static_cast<size_t>(n));
    return true;
  }
}

TLoopbackClient::TResponse TLoopbackClient::ReadResponse(bool keepBody) {
  TResponse r;
  size_t end;
  while ((end = FPending.find("\r\n\r\n")) == std::string::npos)
    if (!Fill())
      return r;
  r.Head = FPending.substr(0, end + 4);
  FPending.erase(0, end + 4);
  if (r.Head.size() > 12 && r.Head.compare(0, 5, "HTTP/") == 0)
    r.Status = std::stoi(r.Head.substr(9, 3));
  size_t length = 0;
  for (const char* name : {"Content-Length:", "content-length:"}) {
    size_t at = r.Head.find(name);
    if (at != std::string::npos)
      length = std::stoul(r.Head.substr(at + 15));
  }
  while (static_cast<size_t>(r.BodySize) < length) {
    if (FPending.empty() && !Fill()) {
      r.Status = 0;
      return r;
    }
    size_t take = std::min(FPending.size(), length - static_cast<size_t>(r.BodySize));
    if (keepBody)
      r.Body.append(FPending, 0, take);
    FPending.erase(0, take);
    r.BodySize += static_cast<int64_t>(take);
  }
  return r;
}

bool TLoopbackClient::SendPost(const std::string& path, const std::string& body) {
  return SendRaw("POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
                 "Content-Type: application/octet-stream\r\nContent-Length: " +
                 std::to_string(body.size()) + "\r\n\r\n" + body);
}

TLoopbackClient::TResponse TLoopbackClient::Post(const std::string& path, const std::string& body,
                                                 bool keepBody) {
  if (!SendPost(path, body))
    return {};
  return ReadResponse(keepBody);
}

TLoopbackClient::TResponse TLoopbackClient::Get(const std::string& path) {
  if (!SendRaw("GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"))
    return {};
  return ReadResponse();
}

bool TLoopbackClient::WaitClosed() {
  char buffer[4096];
  for (;;) {
    ssize_t n = ::recv(FFd.Get(), buffer, sizeof buffer, 0);
    if (n > 0 || (n < 0 && errno == EINTR))
      continue;
    // End of stream or a reset: closed. A time-out: still open.
    return n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
  }
}
