#include "net/testing/KaTestSockets.h"

#include <winsock2.h>

namespace {
// Winsock wants one WSAStartup per process before the first socket.
void EnsureWinsock() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  (void)started;
}
} // namespace

TTestSocket TestListenLoopback(int& port) {
  EnsureWinsock();
  TScopedTestSocket owned(static_cast<TTestSocket>(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)));
  if (!owned)
    return NoTestSocket;
  const SOCKET s = static_cast<SOCKET>(owned.Get());
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int len = sizeof addr;
  if (bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(s, 64) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
    return NoTestSocket;
  port = ntohs(addr.sin_port);
  return owned.Take();
}

TTestSocket TestAccept(TTestSocket listener) {
  SOCKET s = accept(static_cast<SOCKET>(listener), nullptr, nullptr);
  if (s == INVALID_SOCKET)
    return NoTestSocket;
  BOOL on = TRUE;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
  return static_cast<TTestSocket>(s);
}

int TestSendSome(TTestSocket socket, const char* data, size_t size) {
  return static_cast<int>(send(static_cast<SOCKET>(socket), data, static_cast<int>(size), 0));
}

int TestReceiveSome(TTestSocket socket, char* buffer, int size) {
  return static_cast<int>(recv(static_cast<SOCKET>(socket), buffer, size, 0));
}

int TestWaitReadable(TTestSocket socket, int milliseconds) {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(static_cast<SOCKET>(socket), &readable);
  timeval wait{0, milliseconds * 1000};
  int ready = select(0, &readable, nullptr, nullptr, &wait);
  return ready < 0 ? -1 : ready > 0 ? 1 : 0;
}

void TestShutdown(TTestSocket socket) { shutdown(static_cast<SOCKET>(socket), SD_BOTH); }

void TestClose(TTestSocket socket) { closesocket(static_cast<SOCKET>(socket)); }

void TestReset(TTestSocket socket) {
  linger l{1, 0};
  setsockopt(static_cast<SOCKET>(socket), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&l),
             sizeof l);
  TestClose(socket);
}
