#include "ui/VoPanel_win.h"

#include "ui/KaDrawing_win.h"

TVoCustomPanel::TVoCustomPanel(TWinControl* parent)
    : TVoLayoutReported<TCustomControl, false>(parent),
      FBorderColor(CurrentTheme()->BorderDarkColor()) {
  SetColor(CurrentTheme()->WindowColor());
  SetBounds(0, 0, 185, 41);
}

void TVoCustomPanel::SetBorders(TVoPanelBorders borders) {
  if (borders == FBorders)
    return;
  FBorders = borders;
  Realign();
  Invalidate();
}

void TVoCustomPanel::SetBorderStyle(int style) {
  if (style == FBorderStyle)
    return;
  FBorderStyle = style;
  Realign();
  Invalidate();
}

void TVoCustomPanel::SetBorderColor(TColor color) {
  if (color == FBorderColor)
    return;
  FBorderColor = color;
  Invalidate();
}

TRect TVoCustomPanel::AlignRect() const {
  return VoPanelClientRect({Width(), Height()}, FBorderStyle, FBorders);
}

void TVoCustomPanel::Paint(HDC dc) {
  const int w = Width();
  const int h = Height();
  const IThemePtr theme = CurrentTheme();
  switch (FBorderStyle) {
  case 1:
    DrawPolyline(dc, theme->BorderDarkColor(),
                 {{0, 0}, {w - 2, 0}, {w - 2, h - 2}, {0, h - 2}, {0, 0}});
    DrawPolyline(dc, theme->BorderLightColor(), {{w - 1, 1}, {w - 1, h - 1}, {1, h - 1}});
    break;
  case 2: DrawFrame(dc, {0, 0, w, h}, Enabled(), false); break;
  case 3:
    for (const TVoLine& line : VoPanelBorderLines({w, h}, FBorders))
      DrawPolyline(dc, FBorderColor, {line.From, line.To});
    break;
  default: break;
  }
}
