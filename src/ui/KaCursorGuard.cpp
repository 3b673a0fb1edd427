#include "ui/KaCursorGuard.h"

void TCursorGuard::SetCursor(TCursor cursor) {
  FCursor = cursor;
  if (!FBusy)
    SetScreenCursor(cursor);
}

void TCursorGuard::BeginBusy() {
  FBusy = true;
  SetScreenCursor(crHourGlass);
}

void TCursorGuard::EndBusy() {
  FBusy = false;
  SetScreenCursor(FCursor);
}

ICursorGuardPtr CursorGuard() {
  static const ICursorGuardPtr single = std::make_shared<TCursorGuard>();
  return single;
}
