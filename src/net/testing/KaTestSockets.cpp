#include "net/testing/KaTestSockets.h"

int TestReceive(TTestSocket socket, char* buffer, int size, const std::atomic<bool>& stopping) {
  while (!stopping) {
    int ready = TestWaitReadable(socket, 50);
    if (ready < 0)
      return -1;
    if (ready > 0)
      return TestReceiveSome(socket, buffer, size);
  }
  return -1;
}

bool TestSendAll(TTestSocket socket, const char* data, size_t size) {
  while (size > 0) {
    int n = TestSendSome(socket, data, size);
    if (n <= 0)
      return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}
