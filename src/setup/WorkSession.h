#pragma once

#include "net/KaWork.h"

#include <vector>

// The outermost progress level of a procedure, with the displays that follow
// it: the observers are added in the order given, then BeginWork(0, 0) opens
// the level (the form's busy cursor goes on). Finish, or the destructor on
// any other path, closes the level and then removes the observers in reverse
// order, so a failure leaves no level open and no display attached.
class TWorkSession {
public:
  explicit TWorkSession(std::vector<IWorkObserver*> observers = {});
  ~TWorkSession();
  TWorkSession(const TWorkSession&) = delete;
  TWorkSession& operator=(const TWorkSession&) = delete;

  // Closes the session at a chosen point; the destructor then does nothing.
  void Finish();

private:
  std::vector<IWorkObserver*> FObservers;
  bool FOpen = true;
};
