#include "net/KaPatience.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

using namespace std::chrono_literals;
using TClock = TPatience::TClock;

TEST(Patience, AnAnswerThatKeepsMovingIsWaitedForHoweverLong) {
  const TClock::time_point t0{};
  TPatience patience(t0);
  // A slow line: a kilobyte every 15 seconds, for an hour.
  int64_t total = 0;
  for (auto t = t0; t < t0 + 1h; t += 15s) {
    EXPECT_FALSE(patience.Exhausted(t + 14s)) << (t - t0).count();
    total += PatienceBytes;
    patience.Moved(total, t + 15s);
  }
}

TEST(Patience, ATrickleOrAStallRunsOutAfterOnePeriod) {
  const TClock::time_point t0{};
  TPatience stalled(t0);
  EXPECT_FALSE(stalled.Exhausted(t0 + 19s));
  EXPECT_TRUE(stalled.Exhausted(t0 + 20s));

  // A byte a second: each byte moves, none brings a kilobyte.
  TPatience trickled(t0);
  for (int i = 1; i <= 20; ++i)
    trickled.Moved(i, t0 + std::chrono::seconds(i));
  EXPECT_TRUE(trickled.Exhausted(t0 + 20s));

  // A period starts when its kilobyte is complete, not at each byte.
  TPatience late(t0);
  late.Moved(PatienceBytes - 1, t0 + 5s);
  late.Moved(PatienceBytes, t0 + 19s);
  EXPECT_FALSE(late.Exhausted(t0 + 38s));
  late.Moved(2 * PatienceBytes - 1, t0 + 30s);
  EXPECT_TRUE(late.Exhausted(t0 + 39s));
}

TEST(PatienceWatch, StopsAnExchangeThatRunsOutAndReportsIt) {
  std::atomic<int> stops{0};
  TPatienceWatch watch([&] { ++stops; }, 50ms);
  watch.Begin();
  for (int i = 0; i < 400 && stops == 0; ++i)
    std::this_thread::sleep_for(10ms);
  EXPECT_EQ(stops, 1);
  EXPECT_TRUE(watch.End());
  // Once given up, an exchange is stopped once; the next starts afresh.
  std::this_thread::sleep_for(150ms);
  EXPECT_EQ(stops, 1);
  watch.Begin();
  EXPECT_FALSE(watch.End());
}

TEST(PatienceWatch, AnExchangeThatEndsInTimeIsNotStopped) {
  std::atomic<int> stops{0};
  {
    TPatienceWatch watch([&] { ++stops; }, 1s);
    for (int i = 0; i < 3; ++i) {
      watch.Begin();
      EXPECT_FALSE(watch.End());
    }
    // Nothing is watched between exchanges, however long the pause.
    std::this_thread::sleep_for(1300ms);
  }
  EXPECT_EQ(stops, 0);
  // A watch that never saw an exchange goes without a thread to end.
  TPatienceWatch idle([] {});
}

} // namespace
