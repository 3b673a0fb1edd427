#pragma once

// The system fonts behind TFont values (Windows only).

#include "ui/Font.h"

#include <windows.h>

// A font object for `font`, made once per distinct value and kept for the
// life of the program (a form uses a handful). The height becomes device
// pixels here.
HFONT FontHandle(const TFont& font);

// 0x00BBGGRR is the system's COLORREF already.
inline COLORREF ColorRef(TColor color) { return static_cast<COLORREF>(color); }

// A solid brush of `color`, made once per colour and kept like the fonts:
// what control-colour notifications hand back to the system.
HBRUSH SolidBrush(TColor color);
