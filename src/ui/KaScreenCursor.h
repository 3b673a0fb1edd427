#pragma once

#include <cstdint>

// The screen cursor: while it is not crDefault it is shown over every window
// of the program, whatever cursor the control under the pointer asks for.

using TCursor = int16_t;

enum : TCursor {
  crDefault = 0, // the cursor of the control under the pointer
  crNone = -1,
  crArrow = -2,
  crCross = -3,
  crIBeam = -4,
  crSizeNESW = -6,
  crSizeNS = -7,
  crSizeNWSE = -8,
  crSizeWE = -9,
  crUpArrow = -10,
  crHourGlass = -11,
  crNo = -18,
  crAppStart = -19,
  crHelp = -20,
  crHandPoint = -21,
  crSizeAll = -22,
};

TCursor ScreenCursor();
// Stores the cursor and shows it at once (Windows: the system cursor; with
// crDefault, the cursor of the window under the pointer).
void SetScreenCursor(TCursor cursor);

// The platform's part of SetScreenCursor: shows without storing.
void ShowScreenCursor(TCursor cursor);
