#include "setup/WorkSession.h"

TWorkSession::TWorkSession(std::vector<IWorkObserver*> observers, TStopRequest stopRequested)
    : FObservers(std::move(observers)), FStopRequested(std::move(stopRequested)) {
  // Ahead of the displays: a stop is raised before they pump the window's
  // messages once more.
  if (FStopRequested)
    FObservers.insert(FObservers.begin(), this);
  for (IWorkObserver* observer : FObservers)
    Work().AddObserver(observer);
  Work().BeginWork(WorkCall, 0);
}

TWorkSession::~TWorkSession() { Finish(); }

void TWorkSession::Finish() {
  if (!FOpen)
    return;
  FOpen = false;
  Work().EndWork();
  for (auto it = FObservers.rbegin(); it != FObservers.rend(); ++it)
    Work().RemoveObserver(*it);
}

void TWorkSession::WorkChanged(const IWorkLevel& level) {
  // Position 0 comes from BeginWork, inside the constructor of the level's
  // guard (which would not close it); the maximum may come from EndWork, in
  // the guard's destructor.
  if (level.GetWorkID() != WorkFiles || level.GetPosition() <= 0 ||
      level.GetPosition() >= level.GetMaximum())
    return;
  if (FStopRequested())
    throw EWorkStopped("The work was stopped");
}
