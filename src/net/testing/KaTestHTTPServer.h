#pragma once

#include "net/testing/KaTestSockets.h"

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// A loopback HTTP/1.1 server of the tests' own, on a port the system picks,
// answering each path with what the test scripts: a status, a body, a content
// type and a last-modified date, framed by Content-Length, chunked or by
// closing the connection, optionally slowly, or resetting the connection.
// It records every request it read.

struct TTestRequest {
  std::string Method;
  std::string Target;
  std::string Version;
  std::vector<std::pair<std::string, std::string>> Headers;
  std::string Body;

  // The first header of that name (letter case ignored), "" when absent.
  std::string Header(const std::string& name) const;
  bool HasHeader(const std::string& name) const;
};

struct TTestReply {
  enum class TFraming { Length, Chunked, Close };

  int Status = 200;
  std::string Body;
  std::string ContentType;
  std::string LastModified; // sent as Last-Modified when not empty
  std::vector<std::pair<std::string, std::string>> Headers;
  TFraming Framing = TFraming::Length;
  size_t PieceSize = 0; // the body goes out in pieces of this size (0: at once)
  int PieceDelayMs = 0; // pause before each piece: a slow server
  bool Reset = false;   // read the request, answer nothing, reset the connection
};

class TTestHTTPServer {
public:
  using THandler = std::function<TTestReply(const TTestRequest&)>;

  TTestHTTPServer();
  ~TTestHTTPServer();
  TTestHTTPServer(const TTestHTTPServer&) = delete;
  TTestHTTPServer& operator=(const TTestHTTPServer&) = delete;

  int Port() const { return FPort; }
  // "http://127.0.0.1:<port>" followed by path.
  std::string URL(const std::string& path) const;

  // The answer to every request of path (without its query); unknown paths get 404.
  void On(const std::string& path, TTestReply reply);
  void On(const std::string& path, THandler handler);

  // Makes the server a proxy that asks for Basic credentials, as the tests'
  // own: a request that does not carry "Proxy-Authorization: Basic" with
  // user:password is answered 407 with "Proxy-Authenticate: Basic", only
  // after its whole body was read, and the connection stays open. Requests
  // name the whole URL then; their path picks the answer as before.
  void RequireProxyCredentials(const std::string& user, const std::string& password);
  // The value a request must carry in Proxy-Authorization.
  static std::string BasicCredentials(const std::string& user, const std::string& password);

  std::vector<TTestRequest> Requests() const;
  int Connections() const { return FConnections; }

private:
  void AcceptLoop();
  void Serve(TTestSocket socket);
  TTestReply Answer(const TTestRequest& request);

  TScopedTestSocket FListener;
  int FPort = 0;
  std::atomic<bool> FStopping{false};
  std::atomic<int> FConnections{0};
  std::thread FAcceptor;
  mutable std::mutex FLock;
  std::map<std::string, THandler> FHandlers;
  std::string FProxyCredentials; // empty: no proxy authentication asked
  std::vector<TTestRequest> FRequests;
  std::vector<TTestSocket> FOpen;
  std::vector<std::thread> FWorkers;
};
