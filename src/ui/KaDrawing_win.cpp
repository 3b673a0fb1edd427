#include "ui/KaDrawing_win.h"

#include "base/KaHandle_win.h"

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
