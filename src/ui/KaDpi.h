#pragma once

#include "ui/KaGeometry.h"

// Every size and position of the layout (bounds, font heights) is written in
// logical pixels of a 96 dpi screen and becomes a device pixel here only, at
// the edge to the window system. The device resolution stays 96 until the
// program declares itself aware of high-DPI displays; then setting it from
// the system is the one change.

inline constexpr int LogicalDpi = 96;

int DeviceDpi();
void SetDeviceDpi(int dpi);

// Rounded to the nearest pixel, halves away from zero.
int ToDevice(int logical);
int ToLogical(int device);
TRect ToDevice(const TRect& logical);
TRect ToLogical(const TRect& device);
