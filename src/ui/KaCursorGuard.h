#pragma once

#include "ui/KaScreenCursor.h"

#include <memory>

// The busy cursor of long operations: the hourglass is shown from BeginBusy
// to EndBusy, over every window of the program, and a cursor chosen
// meanwhile appears when the busy period ends. There is no nesting count: one
// EndBusy ends any number of BeginBusy calls.
class ICursorGuard {
public:
  virtual ~ICursorGuard() = default;
  virtual TCursor GetCursor() const = 0;
  // Remembered; shown at once unless busy.
  virtual void SetCursor(TCursor cursor) = 0;
  virtual void BeginBusy() = 0;
  virtual void EndBusy() = 0;
};

using ICursorGuardPtr = std::shared_ptr<ICursorGuard>;

class TCursorGuard : public ICursorGuard {
public:
  TCursor GetCursor() const override { return FCursor; }
  void SetCursor(TCursor cursor) override;
  void BeginBusy() override;
  void EndBusy() override;
  bool Busy() const { return FBusy; }

private:
  bool FBusy = false;
  TCursor FCursor = crDefault;
};

// The single cursor guard, created on first use.
ICursorGuardPtr CursorGuard();
