#pragma once

#include "server/AccessLog.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

// What one server process has done, for a scraper: requests by command and
// outcome, bytes sent, sessions started, connections refused or left without
// a request, and how long answers took. Every access-log record is counted
// once, from any thread; counting is a few relaxed additions on counters of
// the calling thread's own shard, so busy threads never share a cache line.
class TServerMetrics {
public:
  // Upper bounds of the answer-time histogram, in microseconds.
  static constexpr std::array<int64_t, 15> BucketsMicros = {
      250,    500,    1000,   2500,    5000,    10000,   25000,   50000,
      100000, 250000, 500000, 1000000, 2500000, 5000000, 10000000};

  TServerMetrics();
  ~TServerMetrics();
  TServerMetrics(const TServerMetrics&) = delete;
  TServerMetrics& operator=(const TServerMetrics&) = delete;

  void Count(const TAccessRecord& record);

  // The Prometheus text exposition (format 0.0.4) of the counters, with the
  // gauges the caller samples: connections open on the public port and the
  // number of the release served (0: none).
  std::string Exposition(int openConnections, int currentRelease) const;

  struct TShard;

private:
  TShard& Mine();

  std::unique_ptr<TShard[]> FShards;
};
