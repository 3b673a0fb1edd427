#pragma once

// A windowed control that paints itself (Windows only): focusable, with its
// own window of the framework and Paint into the back buffer of that window.
//
//   class TMyControl : public TCustomControl {
//   public:
//     explicit TMyControl(TWinControl* parent) : TCustomControl(parent) { SetBounds(0, 0, 80, 20);
//     }
//   protected:
//     void Paint(HDC dc) override { ...draw (0, 0, Width(), Height())... }
//     void MouseDown(TMouseButton b, TShiftState s, int x, int y) override { ...; Invalidate(); }
//   };

#include "ui/WinControl_win.h"

class TCustomControl : public TWinControl {
public:
  explicit TCustomControl(TWinControl* parent) : TWinControl(parent) {}

protected:
  // The control's picture, over its background (see TWinControl).
  void Paint(HDC dc) override {}
};
