#pragma once

#include "ui/KaGeometry.h"
#include "ui/KaTheme.h"

#include <array>

// TVoRadioButton, portable part: the knob is a stack of diamonds, each drawn
// with the theme's DrawDiamond helper. The control window is the Windows
// twin (VoRadioButton_win.h / VoRadioButton_win.cpp); its caption and focus
// rectangle are the check box's (ui/VoCheckBox.h).

// Outline: BorderDarkColor on the left half and BorderLightColor on the
// right when enabled, BorderLightColor all round when not.
inline constexpr TRect VoRadioOutline{0, 2, 12, 14};

// Filled in the background colour: white, FocusColor when focused,
// WindowColor when disabled.
inline constexpr std::array<TRect, 2> VoRadioFill{{{1, 3, 11, 13}, {2, 4, 10, 12}}};

// The dot, from the outside in: black when checked and enabled,
// BorderLightColor when checked and disabled, the background colour when
// not checked (so unchecking paints the dot away).
inline constexpr std::array<TRect, 4> VoRadioDot{
    {{3, 5, 9, 11}, {4, 6, 8, 10}, {5, 7, 7, 9}, {6, 8, 6, 8}}};

// The colours of the knob in one state of the button.
struct TVoRadioColors {
  TColor OutlineLeft;
  TColor OutlineRight;
  TColor Fill;
  TColor Dot;
  bool operator==(const TVoRadioColors&) const = default;
};

TVoRadioColors VoRadioColors(const ITheme& theme, bool enabled, bool focused, bool checked);
