#pragma once

#include "base/KaHandle.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

// The few socket calls the loopback test server needs, one twin per platform.
using TTestSocket = intptr_t;
inline constexpr TTestSocket NoTestSocket = -1;

// A listening socket on 127.0.0.1 at a port the system picks; port receives it.
TTestSocket TestListenLoopback(int& port);
TTestSocket TestAccept(TTestSocket listener);
// Bytes received, 0 at the end of the stream, below 0 on failure or once
// stopping is set: the wait looks at it every few milliseconds, since not
// every platform wakes a blocked receive when another thread shuts the
// socket down (Wine does not).
int TestReceive(TTestSocket socket, char* buffer, int size, const std::atomic<bool>& stopping);
bool TestSendAll(TTestSocket socket, const char* data, size_t size);
// The platform's single calls under the two above: how many bytes one send
// or one receive moved (below 0 on failure), and whether data waits within
// the milliseconds given.
int TestSendSome(TTestSocket socket, const char* data, size_t size);
int TestReceiveSome(TTestSocket socket, char* buffer, int size);
int TestWaitReadable(TTestSocket socket, int milliseconds); // 1 ready, 0 not yet, -1 failed
// Ends both directions, so a thread blocked in TestAccept/TestReceive returns.
void TestShutdown(TTestSocket socket);
void TestClose(TTestSocket socket);
// Closes with an RST instead of the orderly FIN: "connection reset by peer".
void TestReset(TTestSocket socket);

struct TTestSocketTraits {
  using Handle = TTestSocket;
  static TTestSocket Invalid() noexcept { return NoTestSocket; }
  static void Close(TTestSocket socket) noexcept { TestClose(socket); }
};
using TScopedTestSocket = TScopedHandle<TTestSocketTraits>;
