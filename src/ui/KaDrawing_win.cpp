#include "ui/KaDrawing_win.h"

#include "base/KaHandle_win.h"
#include "ui/Font_win.h"

#include <algorithm>

void DrawPolyline(HDC dc, TColor color, std::initializer_list<TPoint> points) {
  if (points.size() < 2)
    return;
  TScopedPen pen(CreatePen(PS_SOLID, 1, color));
  HGDIOBJ old = SelectObject(dc, pen.Get());
  auto p = points.begin();
  MoveToEx(dc, p->X, p->Y, nullptr);
  for (++p; p != points.end(); ++p)
    LineTo(dc, p->X, p->Y);
  SelectObject(dc, old);
}

void DrawFrame(HDC dc, const TRect& r, bool enabled, bool error) {
  IThemePtr theme = CurrentTheme();
  TColor dark = error ? theme->ErrorDarkColor() : theme->BorderDarkColor();
  TColor light = error ? theme->ErrorLightColor() : theme->BorderLightColor();
  DrawPolyline(dc, enabled ? dark : light,
               {{r.Left, r.Bottom - 1}, {r.Left, r.Top}, {r.Right, r.Top}});
  DrawPolyline(dc, light,
               {{r.Right - 1, r.Top + 1}, {r.Right - 1, r.Bottom - 1}, {r.Left, r.Bottom - 1}});
}

void DrawFieldFrame(HDC dc, const TRect& r, bool enabled, bool error, TColor fill, int rings) {
  DrawFrame(dc, r, enabled, error);
  for (int i = 1; i <= rings; ++i) {
    RECT ring{r.Left + i, r.Top + i, r.Right - i, r.Bottom - i};
    FrameRect(dc, &ring, SolidBrush(fill));
  }
}

TSize WindowSize(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

void PaintOnWindow(HWND window, const std::function<void(HDC dc, TSize size)>& paint) {
  TScopedWindowDC dc({window, GetWindowDC(window)});
  if (dc)
    paint(dc.Get().DC, WindowSize(window));
}

void InsetProposedClient(LPARAM ncCalcSize, int by) {
  // NCCALCSIZE_PARAMS starts with the proposed client rectangle too.
  auto* r = reinterpret_cast<RECT*>(ncCalcSize);
  r->left += by;
  r->top += by;
  r->right = std::max(r->left, r->right - by);
  r->bottom = std::max(r->top, r->bottom - by);
}

void DrawDiamond(HDC dc, const TRect& r, TColor left, TColor right) {
  const int mx = (r.Left + r.Right) / 2;
  const int my = (r.Top + r.Bottom) / 2;
  DrawPolyline(dc, left, {{r.Left, my}, {mx + 1, r.Top - 1}});
  DrawPolyline(dc, left, {{r.Left, my}, {mx + 1, r.Bottom + 1}});
  DrawPolyline(dc, right, {{r.Right, my}, {mx, r.Top}});
  DrawPolyline(dc, right, {{r.Right, my}, {mx, r.Bottom}});
}

TSize TextExtent(HDC dc, std::u16string_view text) {
  SIZE s{};
  GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(text.data()),
                        static_cast<int>(text.size()), &s);
  return {static_cast<int>(s.cx), static_cast<int>(s.cy)};
}
