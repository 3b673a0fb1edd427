#include "server/ServerMetrics.h"

#include "net/KaProtocol.h"

#include <gtest/gtest.h>
#include <sstream>
#include <thread>
#include <vector>

namespace {

TAccessRecord Answered(const std::string& command, int answerStatus, int64_t bytes,
                       int64_t micros) {
  TAccessRecord r;
  r.HttpStatus = 200;
  r.Command = command;
  r.AnswerStatus = answerStatus;
  r.Bytes = bytes;
  r.Duration = std::chrono::microseconds(micros);
  return r;
}

// The value of one sample line, "name{labels} value"; -1 when it is absent.
double Sample(const std::string& text, const std::string& series) {
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(series + " ", 0) == 0)
      return std::stod(line.substr(series.size() + 1));
  return -1;
}

TEST(ServerMetrics, CountsRequestsByCommandAndOutcome) {
  TServerMetrics m;
  m.Count(Answered("", StatusNewSession, 30, 100));
  m.Count(Answered(HelloCommand, StatusSuccess, 20, 100));
  m.Count(Answered(GetFileCommand, StatusSuccess, 1000, 100));
  m.Count(Answered(GetFileCommand, StatusError, 40, 100));
  // Whatever a client names is "other": no client creates series at will.
  m.Count(Answered("evil\"command", StatusError, 10, 100));
  TAccessRecord notFound;
  notFound.HttpStatus = 404;
  notFound.Request = "GET /metrics";
  m.Count(notFound);
  TAccessRecord cut = Answered(GetFileCommand, StatusSuccess, 500, 100);
  cut.Kind = TAccessRecord::TKind::Cut;
  m.Count(cut);
  TAccessRecord refused;
  refused.Kind = TAccessRecord::TKind::Refused;
  m.Count(refused);
  TAccessRecord silent;
  silent.Kind = TAccessRecord::TKind::NoRequest;
  m.Count(silent);
  m.Count(silent);

  std::string text = m.Exposition(7, 3);
  EXPECT_EQ(Sample(text, "websetup_requests_total{command=\"none\",status=\"new-session\"}"), 1);
  EXPECT_EQ(Sample(text, "websetup_requests_total{command=\"hi!\",status=\"success\"}"), 1);
  EXPECT_EQ(Sample(text, "websetup_requests_total{command=\"admin:getFile\",status=\"success\"}"),
            1);
  EXPECT_EQ(Sample(text, "websetup_requests_total{command=\"admin:getFile\",status=\"error\"}"), 1);
  EXPECT_EQ(Sample(text, "websetup_requests_total{command=\"admin:getFile\",status=\"cut\"}"), 1);
  EXPECT_EQ(Sample(text, "websetup_requests_total{command=\"other\",status=\"error\"}"), 1);
  EXPECT_EQ(Sample(text, "websetup_requests_total{command=\"none\",status=\"404\"}"), 1);
  // Always shown, so that a rate can be taken from the first scrape on.
  EXPECT_EQ(Sample(text, "websetup_requests_total{command=\"admin:getProductInfo\","
                         "status=\"success\"}"),
            0);
  EXPECT_EQ(text.find("evil"), std::string::npos);
  EXPECT_EQ(Sample(text, "websetup_sent_bytes_total"), 30 + 20 + 1000 + 40 + 10 + 500);
  EXPECT_EQ(Sample(text, "websetup_sessions_started_total"), 1);
  EXPECT_EQ(Sample(text, "websetup_connections_refused_total"), 1);
  EXPECT_EQ(Sample(text, "websetup_connections_without_request_total"), 2);
  EXPECT_EQ(Sample(text, "websetup_open_connections"), 7);
  EXPECT_EQ(Sample(text, "websetup_current_release"), 3);
  EXPECT_NE(text.find("# TYPE websetup_requests_total counter\n"), std::string::npos);
  EXPECT_NE(text.find("# TYPE websetup_answer_seconds histogram\n"), std::string::npos);
}

// Buckets are cumulative, a time on a bound falls into that bucket, and
// only whole answers are timed.
TEST(ServerMetrics, AnswerTimesFillACumulativeHistogram) {
  TServerMetrics m;
  for (int64_t micros : {100, 250, 251, 3000, 20000000})
    m.Count(Answered(GetFileCommand, StatusSuccess, 1, micros));
  TAccessRecord cut = Answered(GetFileCommand, StatusSuccess, 1, 7);
  cut.Kind = TAccessRecord::TKind::Cut;
  m.Count(cut);
  std::string text = m.Exposition(0, 0);
  EXPECT_EQ(Sample(text, "websetup_answer_seconds_bucket{le=\"0.00025\"}"), 2);
  EXPECT_EQ(Sample(text, "websetup_answer_seconds_bucket{le=\"0.0005\"}"), 3);
  EXPECT_EQ(Sample(text, "websetup_answer_seconds_bucket{le=\"0.005\"}"), 4);
  EXPECT_EQ(Sample(text, "websetup_answer_seconds_bucket{le=\"10\"}"), 4);
  EXPECT_EQ(Sample(text, "websetup_answer_seconds_bucket{le=\"+Inf\"}"), 5);
  EXPECT_EQ(Sample(text, "websetup_answer_seconds_count"), 5);
  EXPECT_DOUBLE_EQ(Sample(text, "websetup_answer_seconds_sum"), 20.003601);
}

// Threads count on shards of their own; the sum must still be exact.
TEST(ServerMetrics, CountsFromManyThreadsAddUp) {
  TServerMetrics m;
  constexpr int Threads = 24, Each = 5000;
  std::vector<std::thread> threads;
  for (int t = 0; t < Threads; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < Each; ++i)
        m.Count(Answered(GetFileCommand, StatusSuccess, 3, 1000));
    });
  for (auto& t : threads)
    t.join();
  std::string text = m.Exposition(0, 0);
  EXPECT_EQ(Sample(text, "websetup_requests_total{command=\"admin:getFile\",status=\"success\"}"),
            Threads * Each);
  EXPECT_EQ(Sample(text, "websetup_sent_bytes_total"), 3.0 * Threads * Each);
  EXPECT_EQ(Sample(text, "websetup_answer_seconds_count"), Threads * Each);
}

} // namespace
