#pragma once

#include "base/KaExceptions.h"
#include "net/KaWork.h"

#include <functional>
#include <vector>

// Raised into a procedure when its session was asked to stop (the window was
// closed while it ran). Not a failure: nobody is shown it.
KA_DECLARE_EXCEPTION(EWorkStopped, Exception);

// The outermost progress level of a procedure, with the displays that follow
// it: the observers are added in the order given, then BeginWork(0, 0) opens
// the level (the form's busy cursor goes on). Finish, or the destructor on
// any other path, closes the level and then removes the observers in reverse
// order, so a failure leaves no level open and no display attached.
//
// With a stop request, the session asks it whenever the files level moves on
// to its next file (never at the level's opening nor at its end, which its
// guard reaches from a destructor) and raises EWorkStopped when it holds: the
// file in transfer is finished whole and no further one is begun.
class TWorkSession : private IWorkObserver {
public:
  using TStopRequest = std::function<bool()>;
  explicit TWorkSession(std::vector<IWorkObserver*> observers = {},
                        TStopRequest stopRequested = {});
  ~TWorkSession() override;
  TWorkSession(const TWorkSession&) = delete;
  TWorkSession& operator=(const TWorkSession&) = delete;

  // Closes the session at a chosen point; the destructor then does nothing.
  void Finish();

private:
  void WorkStarted() override {}
  void WorkFinished() override {}
  void WorkChanged(const IWorkLevel& level) override;

  std::vector<IWorkObserver*> FObservers;
  TStopRequest FStopRequested;
  bool FOpen = true;
};
