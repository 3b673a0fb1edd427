#pragma once

#include "base/KaHandle_posix.h"

#include <chrono>
#include <cstdint>
#include <string>

// A blocking HTTP/1.1 client on one kept-alive socket, for tests and
// benchmarks that talk to a server on this machine: whole requests of our
// own making, raw bytes included, and answers read by their Content-Length.
class TLoopbackClient {
public:
  struct TResponse {
    int Status = 0; // 0: the connection ended before a status line
    std::string Head;
    std::string Body; // empty when the body was counted, not kept
    int64_t BodySize = 0;
  };

  // `from`: the local address to connect from (any of 127.0.0.0/8), so that
  // tests can be several client hosts.
  TLoopbackClient(uint16_t port, std::chrono::milliseconds timeout = std::chrono::seconds(10),
                  const std::string& from = "");
  TLoopbackClient(const TLoopbackClient&) = delete;
  TLoopbackClient& operator=(const TLoopbackClient&) = delete;

  // keepBody false: the body is read and counted but not held (huge answers).
  TResponse Post(const std::string& path, const std::string& body, bool keepBody = true);
  // Sends a POST without reading its answer; false once the peer has closed.
  bool SendPost(const std::string& path, const std::string& body);
  TResponse Get(const std::string& path);
  // Sends bytes as they are; false once the peer has closed.
  bool SendRaw(const std::string& bytes);
  // Reads one response; Status 0 when the connection closed (or timed out) first.
  TResponse ReadResponse(bool keepBody = true);
  // True when the server has closed the connection (reads end of stream).
  bool WaitClosed();
  // A slow reader: every later read takes at most `bytes` and waits `pause`
  // first. `receiveBuffer` > 0 also shrinks the socket's buffer, so that the
  // pace shows at the server.
  void SetPace(size_t bytes, std::chrono::milliseconds pause, int receiveBuffer = 0);
  int Handle() const { return FFd.Get(); }

private:
  bool Fill();

  TScopedFd FFd;
  std::string FPending;
  size_t FReadSize = 64 * 1024;
  std::chrono::milliseconds FPause{0};
};
