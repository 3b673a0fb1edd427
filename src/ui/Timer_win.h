#pragma once

// A timer (Windows only): OnTimer every Interval milliseconds while Enabled,
// on the user-interface thread, through the application's message loop. A
// tick that arrives while the previous one's handler still runs (it
// processes messages) is skipped.

#include "ui/Component.h"

class TTimer : public TComponent {
public:
  TTimer() { Update(); }
  ~TTimer() override;

  unsigned Interval() const { return FInterval; }
  void SetInterval(unsigned ms);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);

  TNotifyEvent OnTimer;

private:
  friend class TApplication;
  void Tick();
  void Update();

  unsigned FInterval = 1000;
  bool FEnabled = true;
  bool FRunning = false;
};
