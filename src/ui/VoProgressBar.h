#pragma once

#include "ui/KaGeometry.h"

#include <cstdint>
#include <string>

// TVoProgressBar, portable part: what the bar shows for a Min, Max and
// Position. The control (the Windows twin, VoProgressBar_win.h /
// VoProgressBar_win.cpp) keeps its three values, stores the clamped position
// and draws the fill rectangle and the text computed here.
//
// The fraction is kept as an exact ratio rather than a floating-point number:
// both roundings are "half to even", and a fraction like 1/200 must give
// exactly 0.5 % (shown as 0) rather than a binary neighbour of it.

struct TVoProgress {
  int32_t Min = 0;
  int32_t Max = 100;
  int32_t Position = 0;

  // Position brought into [Min, Max] (raised to Min first, then lowered to
  // Max, so a range with Max below Min yields Max).
  int32_t ClampedPosition() const;

  // round(Fraction * scale), halves to even; Min = Max counts as full.
  // Fraction is (clamped Position - Min) / (Max - Min), never outside 0..1.
  int64_t Scaled(int64_t scale) const;

  // The percentage shown, 0 to 100.
  int Percent() const { return static_cast<int>(Scaled(100)); }

  // The filled part inside the two-pixel frame of a bar `size` large.
  TRect FillRect(TSize size) const;
};

// The bar's text: the number, a space and a percent sign ("42 %").
std::u16string VoProgressText(int percent);
