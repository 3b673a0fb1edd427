#pragma once

#include "ui/KaGeometry.h"

// A one-pixel line of the controls' and the frame's drawing, as the window
// system draws lines: from From towards To, To itself not drawn. The Windows
// twins hand it to MoveToEx/LineTo as it is.
struct TVoLine {
  TPoint From;
  TPoint To;
  bool operator==(const TVoLine&) const = default;
};
