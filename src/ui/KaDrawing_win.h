#pragma once

// The drawing helpers that the owner-drawn controls share (Windows only).
// Lines are drawn as the system draws them: from the first point up to, but
// not including, the last one.

#include "ui/KaGeometry.h"
#include "ui/KaTheme.h"

#include <functional>
#include <initializer_list>
#include <string_view>

#include <windows.h>

// A one-pixel two-tone frame in the current theme. dark := BorderDarkColor,
// light := BorderLightColor, or ErrorDarkColor and ErrorLightColor when
// `error` is set. Top and left are dark when enabled and light when not;
// bottom and right are always light:
//   (Left, Bottom-1) -> (Left, Top) -> (Right, Top)              top-left pen
//   (Right-1, Top+1) -> (Right-1, Bottom-1) -> (Left, Bottom-1)  bottom-right pen
void DrawFrame(HDC dc, const TRect& r, bool enabled, bool error);

// A diamond outline inside `r`, with mx := (Left+Right)/2, my := (Top+Bottom)/2:
//   left colour:  (Left, my) -> (mx+1, Top-1) and (Left, my) -> (mx+1, Bottom+1)
//   right colour: (Right, my) -> (mx, Top) and (Right, my) -> (mx, Bottom)
void DrawDiamond(HDC dc, const TRect& r, TColor left, TColor right);

// The frame of a field (an edit, a combo box) around `r`: DrawFrame, then
// `rings` one-pixel rectangles inside it, each one pixel further in, in
// `fill`, so that the field's colour reaches up to the frame.
void DrawFieldFrame(HDC dc, const TRect& r, bool enabled, bool error, TColor fill, int rings);

// The size of a window with its non-client area: what a device context of
// GetWindowDC covers, from (0, 0).
TSize WindowSize(HWND window);

// Paints on the whole window, its non-client area included, at once: `paint`
// gets the window's device context and WindowSize.
void PaintOnWindow(HWND window, const std::function<void(HDC dc, TSize size)>& paint);

// Shrinks the client rectangle that WM_NCCALCSIZE proposes (either form of
// the message) by `by` pixels on every side, for a frame of the control's
// own in the non-client area.
void InsetProposedClient(LPARAM ncCalcSize, int by);

// The width and height of the text in the font selected into `dc`.
TSize TextExtent(HDC dc, std::u16string_view text);

// One pen stroke through the points, in `color`.
void DrawPolyline(HDC dc, TColor color, std::initializer_list<TPoint> points);
