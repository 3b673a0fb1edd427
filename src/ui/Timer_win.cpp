#include "ui/Timer_win.h"

#include "ui/Application_win.h"

TTimer::~TTimer() { Application().StopTimer(this); }

void TTimer::SetInterval(unsigned ms) {
  if (ms == FInterval)
    return;
  FInterval = ms;
  Update();
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == FEnabled)
    return;
  FEnabled = enabled;
  Update();
}

void TTimer::Update() {
  if (FEnabled && FInterval > 0)
    Application().StartTimer(this, FInterval);
  else
    Application().StopTimer(this);
}

void TTimer::Tick() {
  if (FRunning)
    return;
  FRunning = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } reset{FRunning};
  Fire(OnTimer, *this);
}
