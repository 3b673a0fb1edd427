#include "server/ServerMetrics.h"

#include "net/KaProtocol.h"

#include <algorithm>
#include <cstdio>

namespace {

// Commands are labelled by what the server offers; whatever else a client
// names counts as "other", so that no client can create series at will.
// "none" is a request whose command was never read: no HTTP request for us,
// or one without a valid session (answered with a new one).
constexpr std::array<const char*, 5> Commands = {HelloCommand, ProductInfoCommand, GetFileCommand,
                                                 "other", "none"};
constexpr size_t CommandOther = 3;
constexpr size_t CommandNone = 4;

// The outcome of one request: the protocol's status for a 200 answer, the
// HTTP status otherwise, "cut" when no whole answer went out.
constexpr std::array<const char*, 12> Outcomes = {"success", "error", "new-session", "send-again",
                                                  "400",     "404",   "405",         "413",
                                                  "431",     "500",   "http-other",  "cut"};
constexpr size_t OutcomeHttpOther = 10;
constexpr size_t OutcomeCut = 11;

constexpr size_t Shards = 16;
constexpr size_t Buckets = TServerMetrics::BucketsMicros.size() + 1; // the last is +Inf

using TCounter = std::atomic<uint64_t>;

size_t CommandIndex(const std::string& command) {
  // The service names a request that deciphered to no command "?".
  if (command.empty() || command == "?")
    return CommandNone;
  for (size_t i = 0; i < CommandOther; ++i)
    if (command == Commands[i])
      return i;
  return CommandOther;
}

size_t OutcomeIndex(const TAccessRecord& r) {
  if (r.Kind == TAccessRecord::TKind::Cut || r.HttpStatus == 0)
    return OutcomeCut;
  if (r.HttpStatus == 200)
    return r.AnswerStatus >= 0 && r.AnswerStatus <= StatusSendAgain
               ? static_cast<size_t>(r.AnswerStatus)
               : 0; // any other status byte is a success to the client
  std::string code = std::to_string(r.HttpStatus);
  for (size_t i = 4; i < OutcomeHttpOther; ++i)
    if (code == Outcomes[i])
      return i;
  return OutcomeHttpOther;
}

void Add(TCounter& counter, uint64_t n) { counter.fetch_add(n, std::memory_order_relaxed); }

// Bucket bounds as short as they go ("0.00025", "2.5"); the sum to the microsecond.
std::string Seconds(int64_t micros, bool exact = false) {
  char text[40];
  std::snprintf(text, sizeof text, exact ? "%.6f" : "%g", static_cast<double>(micros) / 1e6);
  return text;
}

} // namespace

struct alignas(64) TServerMetrics::TShard {
  TCounter Requests[Commands.size()][Outcomes.size()] = {};
  TCounter BytesSent{0};
  TCounter SessionsStarted{0};
  TCounter Refused{0};
  TCounter NoRequest{0};
  TCounter AnswerBuckets[Buckets] = {};
  TCounter AnswerMicros{0};
};

TServerMetrics::TServerMetrics() : FShards(std::make_unique<TShard[]>(Shards)) {}

TServerMetrics::~TServerMetrics() = default;

TServerMetrics::TShard& TServerMetrics::Mine() {
  // Threads take shards in turn; the server's pool is smaller than Shards,
  // so each of its threads counts alone.
  static std::atomic<size_t> next{0};
  thread_local size_t slot = next.fetch_add(1, std::memory_order_relaxed) % Shards;
  return FShards[slot];
}

void TServerMetrics::Count(const TAccessRecord& r) {
  TShard& shard = Mine();
  switch (r.Kind) {
  case TAccessRecord::TKind::Refused: Add(shard.Refused, 1); return;
  case TAccessRecord::TKind::NoRequest: Add(shard.NoRequest, 1); return;
  case TAccessRecord::TKind::Answered:
  case TAccessRecord::TKind::Cut: break;
  }
  Add(shard.Requests[CommandIndex(r.Command)][OutcomeIndex(r)], 1);
  Add(shard.BytesSent, static_cast<uint64_t>(std::max<int64_t>(r.Bytes, 0)));
  if (r.Kind != TAccessRecord::TKind::Answered)
    return;
  if (r.HttpStatus == 200 && r.AnswerStatus == StatusNewSession)
    Add(shard.SessionsStarted, 1);
  const int64_t micros = std::max<int64_t>(r.Duration.count(), 0);
  size_t bucket = static_cast<size_t>(
      std::lower_bound(BucketsMicros.begin(), BucketsMicros.end(), micros) - BucketsMicros.begin());
  Add(shard.AnswerBuckets[bucket], 1);
  Add(shard.AnswerMicros, static_cast<uint64_t>(micros));
}

std::string TServerMetrics::Exposition(int openConnections, int currentRelease) const {
  auto sum = [this](auto member) {
    uint64_t total = 0;
    for (size_t s = 0; s < Shards; ++s)
      total += member(FShards[s]).load(std::memory_order_relaxed);
    return total;
  };
  auto family = [](std::string& out, const char* name, const char* type, const char* help) {
    out += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " " + type + "\n";
  };
  std::string out;
  family(out, "websetup_requests_total", "counter",
         "Requests by command and outcome (the protocol's status of a 200 answer, else the HTTP "
         "status, or cut).");
  for (size_t c = 0; c < Commands.size(); ++c)
    for (size_t o = 0; o < Outcomes.size(); ++o) {
      uint64_t n = sum([&](TShard& s) -> TCounter& { return s.Requests[c][o]; });
      // The answers every client gets are always shown; the rest once they happened.
      if (n > 0 || (c < CommandOther && o == 0))
        out += std::string("websetup_requests_total{command=\"") + Commands[c] + "\",status=\"" +
               Outcomes[o] + "\"} " + std::to_string(n) + "\n";
    }
  family(out, "websetup_sent_bytes_total", "counter", "Bytes of answer bodies that went out.");
  out += "websetup_sent_bytes_total " +
         std::to_string(sum([](TShard& s) -> TCounter& { return s.BytesSent; })) + "\n";
  family(out, "websetup_sessions_started_total", "counter", "New session identifiers handed out.");
  out += "websetup_sessions_started_total " +
         std::to_string(sum([](TShard& s) -> TCounter& { return s.SessionsStarted; })) + "\n";
  family(out, "websetup_connections_refused_total", "counter",
         "Connections closed at once because a connection limit was reached.");
  out += "websetup_connections_refused_total " +
         std::to_string(sum([](TShard& s) -> TCounter& { return s.Refused; })) + "\n";
  family(out, "websetup_connections_without_request_total", "counter",
         "Connections that ended before their first request.");
  out += "websetup_connections_without_request_total " +
         std::to_string(sum([](TShard& s) -> TCounter& { return s.NoRequest; })) + "\n";
  family(out, "websetup_open_connections", "gauge", "Connections open on the public port.");
  out += "websetup_open_connections " + std::to_string(openConnections) + "\n";
  family(out, "websetup_current_release", "gauge",
         "The number of the release served; 0 before the first publish.");
  out += "websetup_current_release " + std::to_string(currentRelease) + "\n";

  family(out, "websetup_answer_seconds", "histogram",
         "Time from a request's first byte to the last byte of its answer.");
  uint64_t cumulative = 0;
  for (size_t b = 0; b < Buckets; ++b) {
    cumulative += sum([&](TShard& s) -> TCounter& { return s.AnswerBuckets[b]; });
    std::string le = b < BucketsMicros.size() ? Seconds(BucketsMicros[b]) : "+Inf";
    out += "websetup_answer_seconds_bucket{le=\"" + le + "\"} " + std::to_string(cumulative) + "\n";
  }
  out += "websetup_answer_seconds_sum " +
         Seconds(static_cast<int64_t>(sum([](TShard& s) -> TCounter& { return s.AnswerMicros; })),
                 true) +
         "\n";
  out += "websetup_answer_seconds_count " + std::to_string(cumulative) + "\n";
  return out;
}
