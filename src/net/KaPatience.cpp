#include "net/KaPatience.h"

void TPatience::Moved(int64_t total, TClock::time_point now) {
  if (total - FPeriodBytes >= PatienceBytes) {
    FPeriodStart = now;
    FPeriodBytes = total;
  }
}

bool TPatience::Exhausted(TClock::time_point now) const { return now - FPeriodStart >= FPeriod; }

TPatienceWatch::TPatienceWatch(std::function<void()> stop, TPatience::TClock::duration period)
    : FStop(std::move(stop)), FPeriod(period), FPatience(TPatience::TClock::now(), period) {}

TPatienceWatch::~TPatienceWatch() {
  {
    std::lock_guard<std::mutex> guard(FLock);
    FQuit = true;
  }
  FWake.notify_all();
  if (FThread.joinable())
    FThread.join();
}

void TPatienceWatch::Begin() {
  std::lock_guard<std::mutex> guard(FLock);
  // The thread starts with the first exchange: a client that never sends
  // costs none.
  if (!FThread.joinable())
    FThread = std::thread([this] { Run(); });
  FPatience = TPatience(TPatience::TClock::now(), FPeriod);
  FWatching = true;
  FGivenUp = false;
}

void TPatienceWatch::Moved(int64_t total) {
  std::lock_guard<std::mutex> guard(FLock);
  FPatience.Moved(total, TPatience::TClock::now());
}

bool TPatienceWatch::End() {
  std::lock_guard<std::mutex> guard(FLock);
  FWatching = false;
  return FGivenUp;
}

void TPatienceWatch::Run() noexcept {
  std::unique_lock<std::mutex> guard(FLock);
  while (!FQuit) {
    FWake.wait_for(
        guard, std::min<TPatience::TClock::duration>(FPeriod / 4, std::chrono::milliseconds(250)));
    if (FWatching && !FGivenUp && FPatience.Exhausted(TPatience::TClock::now())) {
      FGivenUp = true;
      // Nothing may leave a thread's entry; a failed stop leaves the read to
      // the library's own time-outs.
      try {
        FStop();
      } catch (...) {
      }
    }
  }
}
