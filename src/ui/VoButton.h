#pragma once

#include "ui/KaGeometry.h"
#include "ui/KaTheme.h"

#include <array>

// TVoButton, portable part: everything about the sprite button that is
// arithmetic (which frame shows, how large the button is, where its text and
// icon go in each frame), so it is tested natively. The window class itself
// is the Windows twin of this unit, VoButton_win.h / VoButton_win.cpp, which
// keeps its state in a TVoButtonState and asks these functions; nothing here
// needs to move when it arrives.
//
// The face is a strip of five equal frames (PNG5). Frame indices:
enum : int {
  VoButtonFrameNormal = 0,
  VoButtonFrameDisabled = 1,
  VoButtonFramePressed = 2,
  VoButtonFrameDown = 3, // latched
  VoButtonFrameHot = 4,
  VoButtonFrameCount = 5,
};

// Which side of the face stays free of text: the Next buttons carry their
// arrow on the right (tbpRight), the Previous buttons on the left (tbpLeft).
enum TVoButtonTextPosition { tbpRight, tbpLeft };

struct TVoButtonState {
  bool Enabled = true;
  bool Down = false;
  bool Pressed = false;
  bool Hot = false;

  // Disabled wins over everything, so a disabled latched button shows as
  // disabled; a latched button does not flicker when hovered or pressed.
  int Frame() const;
};

// The size a button takes whatever bounds are asked for: one frame of its
// strip. An empty strip (no image yet) leaves the requested size.
TSize VoButtonSize(TSize requested, TSize png5);

// Text colour of a frame (0x00BBGGRR): dark blue on the normal, latched and
// hot faces, pale on the disabled one, light blue on the pressed one.
TColor VoButtonTextColor(int frame);

// The rectangle the caption is drawn in, in the coordinates of the whole
// five-frame buffer: frame `frame` of a control `size` large. The arrow side
// is kept free: 24 pixels on the left for tbpLeft, 20 on the right for
// tbpRight. Text starts 3 pixels from the top, left-aligned, single line.
TRect VoButtonTextRect(TVoButtonTextPosition position, int frame, TSize size);

// Where the control shows a frame from: the frame's rectangle in the buffer.
TRect VoButtonFrameSource(int frame, TSize size);

// The optional icon (PNG2) is a strip of two halves: the left half on every
// frame but the disabled one, which gets the right half. Each copy takes the
// half's rectangle in PNG2 to a point of the five-frame buffer, centred in
// the control.
struct TVoIconCopy {
  TRect Source;
  TPoint Target;
  friend bool operator==(const TVoIconCopy&, const TVoIconCopy&) = default;
};
std::array<TVoIconCopy, VoButtonFrameCount> VoButtonIconCopies(TSize control, TSize png2,
                                                               int frameWidth);
