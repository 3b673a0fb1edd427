#include "server/SocketProgress.h"

// The kernel's struct tcp_info; glibc's <netinet/tcp.h> lacks the newer
// fields and cannot be included beside it.
#include <cstddef>
#include <linux/tcp.h>
#include <netinet/in.h>
#include <sys/socket.h>

int64_t BytesAcknowledged(int fd) {
  tcp_info info{};
  socklen_t length = sizeof info;
  if (::getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &length) != 0 ||
      length < offsetof(tcp_info, tcpi_bytes_acked) + sizeof info.tcpi_bytes_acked)
    return -1;
  return static_cast<int64_t>(info.tcpi_bytes_acked);
}
