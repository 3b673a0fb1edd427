#pragma once

#include "net/KaProtocol.h"
#include "server/AccessLog.h"
#include "server/ServerMetrics.h"
#include "server/UpdateService.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

// What a client may cost the server. A new connection must send its first
// byte within FirstByteTime; a request must arrive completely within ReadTime
// of its first byte; a kept-alive connection may wait IdleTime for its next
// request; an answer is cut once no byte of it moved for WriteTime, however
// long the whole takes. A client beyond any of them is cut off. One client
// address holds at most MaxPerAddress of the MaxConnections, so that one
// host cannot lock everyone else out.
struct TServerOptions {
  std::string Address = "127.0.0.1";
  uint16_t Port = 8080; // 0: any free port, see THttpServer::Port
  int Threads = 0;      // 0: one per core
  size_t HeaderLimit = 8 * 1024;
  size_t BodyLimit = 64 * 1024;
  std::chrono::milliseconds FirstByteTime{5000};
  std::chrono::milliseconds ReadTime{10000};
  std::chrono::milliseconds IdleTime{30000};
  std::chrono::milliseconds WriteTime{30000};
  int MaxConnections = 1024;
  int MaxPerAddress = 64;
  // The admin listener (/healthz, /metrics): off while AdminAddress is empty.
  std::string AdminAddress;
  uint16_t AdminPort = 0; // 0: any free port, see THttpServer::AdminPort
};

// HTTP/1.1 with keep-alive in front of the update service: POST to
// "/cgi-bin/RUzodi" only, asynchronous, on a pool of threads. Every request
// is logged and counted; the counts, and whether the store can be served,
// go out on the admin listener when one is configured.
class THttpServer {
public:
  static constexpr const char* Path = ServerPath;

  // Binds at once (raises when the address is taken); serves after Start.
  THttpServer(TUpdateService& service, TAccessLog& log, const TServerOptions& options);
  ~THttpServer();
  THttpServer(const THttpServer&) = delete;
  THttpServer& operator=(const THttpServer&) = delete;

  uint16_t Port() const;
  // The admin listener's port; 0 when there is none.
  uint16_t AdminPort() const;
  const TServerMetrics& Metrics() const;
  void Start();
  // Makes SIGINT and SIGTERM stop the server; call before Start.
  void StopOnSignals();
  // Blocks until Stop (from another thread) or a signal.
  void Wait();
  void Stop();
  int Connections() const;

  struct TImpl;

private:
  std::unique_ptr<TImpl> FImpl;
};
