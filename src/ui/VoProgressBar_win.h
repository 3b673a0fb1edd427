#pragma once

// The progress bar of the wizard (Windows only): a double-buffered bar in the
// theme's colours, filled by the share of Position between Min and Max, with
// the percentage ("42 %") centred on it. It follows the program's progress
// tracker: given a WorkID, it shows every change of a level with that
// identifier (see net/KaWork.h), and lets the window messages run at each
// change so that the form stays painted while the work runs on the same
// thread.
//
//   TVoProgressBar files{page};
//   files.SetBounds(144, 144, 329, 20);
//   files.SetWorkID(WorkFiles);
//   files.ObserveWork();                  // for the length of the work
//   ...
//   files.StopObservingWork();            // also done by the destructor
//
// Arithmetic (rounding, the fill, the text) is ui/VoProgressBar.h.

#include "net/KaWork.h"
#include "ui/KaCustomControl_win.h"
#include "ui/VoProgressBar.h"

class TVoCustomProgressBar : public TKaCustomControl, public IWorkObserver {
public:
  // 200 x 20, WorkID -1, Min 0, Max 100, Position 0.
  explicit TVoCustomProgressBar(TWinControl* parent);

  int32_t Min() const { return FProgress.Min; }
  int32_t Max() const { return FProgress.Max; }
  // The position as last rendered: brought into [Min, Max] then.
  int32_t Position() const { return FProgress.Position; }
  // Each renders when the value differs.
  void SetMin(int32_t value);
  void SetMax(int32_t value);
  void SetPosition(int32_t value);

  int32_t WorkID() const { return FWorkID; }
  void SetWorkID(int32_t value) { FWorkID = value; }

  // Registers the bar with Work() until StopObservingWork or its end.
  void ObserveWork() { FWorkRegistration.Register(Work()); }
  void StopObservingWork() { FWorkRegistration.Reset(); }
  bool ObservingWork() const { return FWorkRegistration.IsRegistered(); }

  // Nothing: the bar shows levels, not the start and end of all work.
  void WorkStarted() override {}
  void WorkFinished() override {}
  // A level of the bar's WorkID with a measured amount (maximum above 0):
  // Min := 0, Max := its maximum, Position := its position, then the
  // pending window messages are handled (clicks included).
  void WorkChanged(const IWorkLevel& level) override;

  // The percentage the bar shows now.
  int Percent() const { return FProgress.Percent(); }

protected:
  void DrawBuffer(int width, int height) override;
  void EnabledChanged() override;

private:
  void Change(int32_t& field, int32_t value);

  TVoProgress FProgress;
  int32_t FWorkID = -1;
  TScopedRegistration<IWork, IWorkObserver> FWorkRegistration{this};
};

// The published face.
class TVoProgressBar : public TVoCustomProgressBar {
public:
  using TVoCustomProgressBar::TVoCustomProgressBar;
};
