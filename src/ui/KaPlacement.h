#pragma once

#include "ui/KaGeometry.h"

// Where forms and dialogs go on the screen.

// A form of `size` centred in a monitor's work area, shrunk to the work area
// when it is larger (it then fills it from the top-left corner).
TRect CenteredInWorkArea(const TRect& workArea, TSize size);

// The top-left corner that centres a window of `size` over `over`, keeping
// its size; halves are cut toward zero, so a wider window starts left of it.
TPoint CenteredOver(const TRect& over, TSize size);
