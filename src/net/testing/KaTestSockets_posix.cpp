#include "net/testing/KaTestSockets.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

TTestSocket TestListenLoopback(int& port) {
  TScopedTestSocket s(socket(AF_INET, SOCK_STREAM, 0));
  if (!s)
    return NoTestSocket;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  const int fd = static_cast<int>(s.Get());
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 64) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
    return NoTestSocket;
  port = ntohs(addr.sin_port);
  return s.Take();
}

TTestSocket TestAccept(TTestSocket listener) {
  int s = accept(static_cast<int>(listener), nullptr, nullptr);
  if (s < 0)
    return NoTestSocket;
  int on = 1;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return s;
}

int TestSendSome(TTestSocket socket, const char* data, size_t size) {
  return static_cast<int>(send(static_cast<int>(socket), data, size, MSG_NOSIGNAL));
}

int TestReceiveSome(TTestSocket socket, char* buffer, int size) {
  return static_cast<int>(recv(static_cast<int>(socket), buffer, size, 0));
}

int TestWaitReadable(TTestSocket socket, int milliseconds) {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(static_cast<int>(socket), &readable);
  timeval wait{0, milliseconds * 1000};
  int ready = select(static_cast<int>(socket) + 1, &readable, nullptr, nullptr, &wait);
  return ready < 0 ? -1 : ready > 0 ? 1 : 0;
}

void TestShutdown(TTestSocket socket) { shutdown(static_cast<int>(socket), SHUT_RDWR); }

void TestClose(TTestSocket socket) { close(static_cast<int>(socket)); }

void TestReset(TTestSocket socket) {
  linger l{1, 0};
  setsockopt(static_cast<int>(socket), SOL_SOCKET, SO_LINGER, &l, sizeof l);
  TestClose(socket);
}
