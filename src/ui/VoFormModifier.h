#pragma once

#include "ui/VoGeometry.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// TVoFormModifier, portable part: the geometry and the button states of the
// drawn window frame. The component that hooks the form's window procedure,
// answers the non-client messages and paints is the Windows twin,
// VoFormModifier_win.h / VoFormModifier_win.cpp; it keeps its three caption
// buttons in a TVoCaptionButtons (adding each button's image beside it) and
// takes every rectangle, hit-test answer and frame index from here.
//
// Coordinates are window coordinates: (0, 0) is the window's top-left
// corner; W and H are the window's width and height.

// The border is three lines deep on every side; the caption bar below the
// top border makes the top 22 deep.
struct TVoFrameInsets {
  int Left = 3;
  int Top = 22;
  int Right = 3;
  int Bottom = 3;
  friend bool operator==(const TVoFrameInsets&, const TVoFrameInsets&) = default;
};
TVoFrameInsets VoFrameInsets(bool showCaption);

// The client rectangle for a proposed window rectangle (the non-client size
// calculation).
TRect VoFrameClientRect(TRect window, bool showCaption);

// A non-client message gives the pointer in screen coordinates. Shifted by
// the top-left inset and then converted to client coordinates (the window
// code's ScreenToClient), it becomes a window coordinate.
TPoint VoFramePointerShift(bool showCaption);

// The three border lines, from the outside in: FrameColor, WindowColor,
// FrameColor.
std::array<TRect, 3> VoFrameLines(TSize window);

// The caption bar, filled with CaptionColor.
TRect VoCaptionBar(TSize window);

// One caption button (TVoFormButton without its image): an 18 x 18 frame of
// a five-frame strip, shown at (Left, Top).
struct TVoCaptionButton {
  bool Enabled = true;
  bool Visible = true;
  bool Hot = false;
  bool Pressed = false;
  int Left = 0;
  int Top = 3;
  int Width = 0;
  int Height = 0;

  TRect Bounds() const { return {Left, Top, Left + Width, Top + Height}; }
  // Whether the pointer at p acts on this button.
  bool Reacts(TPoint p) const { return Visible && Enabled && Bounds().Contains(p); }
  // Frame of the strip to show: 1 disabled; 2 pressed under the pointer;
  // 4 hot; else 0 (a button held but left by the pointer shows normal).
  int Frame() const;
};

enum TVoCaptionButtonKind { cbMinimize, cbMaximize, cbClose };

struct TVoCaptionButtons {
  // Minimize, maximize, close: the order they stand in, left to right.
  std::array<TVoCaptionButton, 3> Buttons;

  TVoCaptionButton& operator[](TVoCaptionButtonKind k) { return Buttons[k]; }
  const TVoCaptionButton& operator[](TVoCaptionButtonKind k) const { return Buttons[k]; }

  // Sets every button's size from its strip (a fifth of its width, its
  // height).
  void SetStripSize(TSize strip);

  // Places the buttons from the right edge, one pixel apart: close at
  // W - 3 - its width, then maximize, then minimize. Invisible buttons are
  // placed too, so the language box finds its edge from them.
  void Place(int windowWidth);

  // Pointer moved over the non-client area: updates Hot; true when any
  // button's Hot changed (repaint the frame).
  bool Hover(TPoint p);

  // Left button went down: the button under p is Pressed; true when one
  // was (repaint the frame).
  bool Press(TPoint p);

  // Left button came up: every button lets go, and the one that was pressed
  // and is still under p is clicked. A release over a button that was not
  // pressed there (a press that slid over from the caption or another
  // button) clicks nothing, as with any push button.
  struct TRelease {
    bool Repaint = false;
    std::optional<TVoCaptionButtonKind> Clicked;
  };
  TRelease Release(TPoint p);
};

// The hit-test answers, numbered as the window system's codes so the twin
// passes them through (it pins them with static_asserts).
enum class TVoFrameHit {
  Caption = 2,
  Menu = 5,
  Left = 10,
  Right = 11,
  Top = 12,
  TopLeft = 13,
  TopRight = 14,
  Bottom = 15,
  BottomLeft = 16,
  BottomRight = 17,
};

struct TVoFrameHitArea {
  TSize Window;
  bool ShowCaption = true;
  bool ResizeEnabled = true;
  const TVoCaptionButtons* Buttons = nullptr;
  // LangRect when the language box is shown (Lang not empty).
  std::optional<TRect> LangBox;
};

// The frame's answer for p, or none where the window's normal answer stays.
// In the caption strip: Menu over a visible button or the language box (so
// a press there does not start a window drag), else Caption. Then, with
// ResizeEnabled, the border zones: corners 7 pixels long on each side, the
// edges between, and a 16 x 16 grip at the bottom right; a later zone
// overrides an earlier one. Without a caption bar nothing is drawn at the
// top, so nothing there is answered as caption or menu.
std::optional<TVoFrameHit> VoFrameHitTest(const TVoFrameHitArea& area, TPoint p);

// The caption text is split at each ">" into pieces drawn one after another,
// each followed (but the last) by a small right-pointing triangle. Spaces
// around a ">" stay with the pieces.
std::vector<std::u16string> VoSplitCaption(std::u16string_view caption);

// The area the caption pieces are cut to (with an ellipsis at its right
// end); each piece is drawn from its x with the area's top, right, bottom.
TRect VoCaptionTextArea(TSize window);

// Where each piece and triangle starts, from the pieces' text widths: the
// first piece at x = 8, each triangle right after its piece and 5 wide.
struct TVoCaptionLayout {
  std::vector<int> PieceX;
  std::vector<int> TriangleX;
};
TVoCaptionLayout VoCaptionLayout(const std::vector<int>& pieceWidths);

// The five vertical lines of a triangle starting at x, in
// CaptionArrowColor: 9 pixels tall at x, one pixel shorter at each end per
// column.
std::array<TVoLine, 5> VoCaptionTriangle(int x);

// The language box: right edge E just left of the leftmost visible caption
// button (W - 3 when none is shown), left edge O := E - text width - 5.
// Drawn as a WindowColor outline filled with CaptionColor whose four corner
// pixels are set back to CaptionColor, with the text in TextRect.
struct TVoLangBox {
  TRect Rect;
  std::array<TPoint, 4> Corners;
  TRect TextRect;
};
TVoLangBox VoLangBox(const TVoCaptionButtons& buttons, int windowWidth, int textWidth);
