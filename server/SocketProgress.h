#pragma once

#include <cstdint>

// Bytes of data the peer of a connected TCP socket has acknowledged so far:
// the one honest measure of whether a slow client still takes an answer, since
// the kernel wakes a waiting writer only after a large part of the send buffer
// has drained. -1 when the system does not tell.
int64_t BytesAcknowledged(int fd);
