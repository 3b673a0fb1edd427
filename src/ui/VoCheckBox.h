#pragma once

#include "ui/KaTheme.h"
#include "ui/VoGeometry.h"

#include <array>

// TVoCheckBox, portable part: the box, the check mark, and where the caption
// and the focus rectangle go. The control window is the Windows twin
// (VoCheckBox_win.h / VoCheckBox_win.cpp); the radio button (VoRadioButton)
// places its caption and focus rectangle the same way.

// The two-tone frame of the box (DrawFrame) and the area filled inside it.
inline constexpr TRect VoCheckBoxFrame{0, 2, 13, 15};
inline constexpr TRect VoCheckBoxFill{1, 3, 12, 14};

// The check mark: seven vertical lines three pixels long (end points not
// drawn), a tick whose short arm starts at x = 3 and long arm ends at x = 9.
inline constexpr std::array<TVoLine, 7> VoCheckMark{{
    {{3, 7}, {3, 10}},
    {{4, 8}, {4, 11}},
    {{5, 9}, {5, 12}},
    {{6, 8}, {6, 11}},
    {{7, 7}, {7, 10}},
    {{8, 6}, {8, 9}},
    {{9, 5}, {9, 8}},
}};

// The fill of the box: WindowColor when disabled, FocusColor when focused,
// white otherwise.
TColor VoCheckBoxFillColor(const ITheme& theme, bool enabled, bool focused);
// The check mark: black when enabled, BorderLightColor when not.
TColor VoCheckMarkColor(const ITheme& theme, bool enabled);

// The caption's rectangle in a control `size` large: word-wrapped from
// x = 16, one pixel in from the other edges.
TRect VoCheckCaptionRect(TSize size);

// The focus rectangle around a caption whose text, with every "&" removed,
// is captionWidth pixels wide.
TRect VoCheckFocusRect(TSize size, int captionWidth);
