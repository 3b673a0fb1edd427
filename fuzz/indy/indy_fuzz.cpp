// HTTP answers as the "Indy" back end reads them from a socket: a loopback
// server answers every request with the fuzz bytes and closes, and the back
// end posts a request to it, directly or with the server as its proxy (so a
// 407 challenge is answered once). Whatever the bytes, the back end returns
// or raises an exception of ours; the body it delivers is never longer than
// what was sent.
//
// Input: the first byte chooses: bit 0 set, the server is the proxy. The rest
// is the answer.

#include "base/KaExceptions.h"
#include "base/KaStreams.h"
#include "fuzz/FuzzCheck.h"
#include "net/indy/KaHTTP_indy.h"

#include <arpa/inet.h>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// Accepts one connection after the other on 127.0.0.1, reads a request head
// and its body, answers with the current answer and closes.
class TAnswerServer {
public:
  TAnswerServer() {
    FListen = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    FUZZ_CHECK(::bind(FListen, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0);
    FUZZ_CHECK(::listen(FListen, 16) == 0);
    socklen_t len = sizeof addr;
    ::getsockname(FListen, reinterpret_cast<sockaddr*>(&addr), &len);
    FPort = ntohs(addr.sin_port);
    std::thread([this] { Serve(); }).detach();
  }

  int Port() const { return FPort; }

  void SetAnswer(std::string answer) {
    std::lock_guard lock(FLock);
    FAnswer = std::move(answer);
  }

private:
  void Serve() {
    for (;;) {
      int fd = ::accept(FListen, nullptr, nullptr);
      if (fd < 0)
        continue;
      timeval timeout{1, 0};
      ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
      ReadRequest(fd);
      std::string answer;
      {
        std::lock_guard lock(FLock);
        answer = FAnswer;
      }
      for (size_t sent = 0; sent < answer.size();) {
        ssize_t n = ::send(fd, answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
          break;
        sent += static_cast<size_t>(n);
      }
      ::shutdown(fd, SHUT_WR);
      char sink[4096];
      while (::recv(fd, sink, sizeof sink, 0) > 0) {
      }
      ::close(fd);
    }
  }

  static void ReadRequest(int fd) {
    std::string in;
    char buffer[4096];
    size_t headEnd;
    while ((headEnd = in.find("\r\n\r\n")) == std::string::npos) {
      ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0)
        return;
      in.append(buffer, static_cast<size_t>(n));
    }
    size_t length = 0;
    if (size_t at = in.find("Content-Length: "); at != std::string::npos && at < headEnd)
      length = std::strtoul(in.c_str() + at + 16, nullptr, 10);
    while (in.size() < headEnd + 4 + length) {
      ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0)
        return;
      in.append(buffer, static_cast<size_t>(n));
    }
  }

  int FListen = -1;
  int FPort = 0;
  std::mutex FLock;
  std::string FAnswer;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TAnswerServer* server = [] {
    std::signal(SIGPIPE, SIG_IGN);
    return new TAnswerServer;
  }();
  if (size == 0)
    return 0;
  const std::string answer(reinterpret_cast<const char*>(data) + 1, size - 1);
  server->SetAnswer(answer);

  const std::string here = "127.0.0.1:" + std::to_string(server->Port());
  TKaHTTP_indy http;
  if (data[0] & 1) {
    http.GetProxySettings().SetHost("127.0.0.1");
    http.GetProxySettings().SetPort(server->Port());
    http.GetProxySettings().SetUsername("user");
    http.GetProxySettings().SetPassword("secret");
  }
  http.GetRequest().SetContentType("application/octet-stream");
  TMemoryStream source(std::string(64, 'q'));
  TMemoryStream target;
  try {
    http.Post("http://" + here + "/cgi-bin/RUzodi", source, target);
    // With a challenge answered the same bytes come twice at most.
    FUZZ_CHECK(target.GetSize() <= static_cast<int64_t>(answer.size()));
  } catch (const Exception&) {
  }
  http.GetResponse().GetStatusCode();
  return 0;
}
