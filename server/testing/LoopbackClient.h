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

  TLoopbackClient(uint16_t port, std::chrono::milliseconds timeout = std::chrono::seconds(10));
  TLoopbackClient(const TLoopbackClient&) = delete;
  TLoopbackClient& operator=(const TLoopbackClient&) = delete;

  // keepBody false: the body is read and counted but not held (huge answers).
  TResponse Post(const std::string& path, const std::string& body, bool keepBody = true);
  TResponse Get(const std::string& path);
  // Sends bytes as they are; false once the peer has closed.
  bool SendRaw(const std::string& bytes);
  // Reads one response; Status 0 when the connection closed (or timed out) first.
  TResponse ReadResponse(bool keepBody = true);
  // True when the server has closed the connection (reads end of stream).
  bool WaitClosed();

private:
  bool Fill();

  TScopedFd FFd;
  std::string FPending;
};
