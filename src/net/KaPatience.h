#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

// How long a client waits for an answer that hardly moves. A server that
// stalls, or trickles its answer a byte at a time, would otherwise hold an
// update (and the window behind it) for as long as it likes: an exchange
// whose answer brings fewer than PatienceBytes within PatienceSeconds is
// given up, however slow the line. A modem moves that much in a fraction of
// the time.
constexpr int PatienceSeconds = 20;
constexpr int64_t PatienceBytes = 1024;

// The rule on a running count of received bytes: every PatienceBytes that
// arrive start a new period of PatienceSeconds; a period that ends without
// them exhausts the patience.
class TPatience {
public:
  using TClock = std::chrono::steady_clock;

  explicit TPatience(TClock::time_point start,
                     TClock::duration period = std::chrono::seconds(PatienceSeconds))
      : FPeriodStart(start), FPeriod(period) {}

  // total: all bytes received so far in the exchange.
  void Moved(int64_t total, TClock::time_point now);
  bool Exhausted(TClock::time_point now) const;

private:
  TClock::time_point FPeriodStart;
  TClock::duration FPeriod;
  int64_t FPeriodBytes = 0;
};

// Watches the exchanges of one client from a thread of its own and calls
// `stop` (which must be safe to call from another thread, such as cutting
// the client's socket) when one of them has run out of patience, so that a
// read blocked inside a library returns. Exchanges run one at a time.
class TPatienceWatch {
public:
  explicit TPatienceWatch(std::function<void()> stop, TPatience::TClock::duration period =
                                                          std::chrono::seconds(PatienceSeconds));
  ~TPatienceWatch();
  TPatienceWatch(const TPatienceWatch&) = delete;
  TPatienceWatch& operator=(const TPatienceWatch&) = delete;

  // An exchange starts (its patience counted from now) and ends; End
  // reports whether it was given up.
  void Begin();
  void Moved(int64_t total);
  bool End();

private:
  void Run() noexcept;

  std::function<void()> FStop;
  TPatience::TClock::duration FPeriod;
  std::mutex FLock;
  std::condition_variable FWake;
  TPatience FPatience;
  bool FWatching = false;
  bool FGivenUp = false;
  bool FQuit = false;
  std::thread FThread;
};
