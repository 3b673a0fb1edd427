#include "setup/WorkSession.h"

TWorkSession::TWorkSession(std::vector<IWorkObserver*> observers)
    : FObservers(std::move(observers)) {
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
