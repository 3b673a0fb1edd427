#pragma once

// A control without a window of its own (Windows only): its parent paints it
// and hands it the mouse. Labels and pictures are graphic controls, so they
// lie transparently on whatever their parent paints beneath them.

#include "ui/Control_win.h"

class TGraphicControl : public TControl {
public:
  explicit TGraphicControl(TWinControl* parent);

protected:
  friend class TWinControl;
  // Called by the parent, in z-order, while it paints into its back buffer:
  // the origin of `dc` is the control's top-left corner, drawing is clipped
  // to the control, the control's font is selected, the text colour is the
  // font's and the background mode is transparent.
  virtual void Paint(HDC dc) = 0;
};
