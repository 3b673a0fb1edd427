#include "ui/VoFormModifier.h"

TVoFrameInsets VoFrameInsets(bool showCaption) { return {3, showCaption ? 22 : 3, 3, 3}; }

TRect VoFrameClientRect(TRect window, bool showCaption) {
  const TVoFrameInsets in = VoFrameInsets(showCaption);
  return {window.Left + in.Left, window.Top + in.Top, window.Right - in.Right,
          window.Bottom - in.Bottom};
}

TPoint VoFramePointerShift(bool showCaption) {
  const TVoFrameInsets in = VoFrameInsets(showCaption);
  return {in.Left, in.Top};
}

std::array<TRect, 3> VoFrameLines(TSize window) {
  const int w = window.Width;
  const int h = window.Height;
  return {TRect{0, 0, w, h}, TRect{1, 1, w - 1, h - 1}, TRect{2, 2, w - 2, h - 2}};
}

TRect VoCaptionBar(TSize window) { return {2, 2, window.Width - 2, 22}; }

int TVoCaptionButton::Frame() const {
  if (!Enabled)
    return 1;
  if (Hot)
    return Pressed ? 2 : 4;
  return 0;
}

void TVoCaptionButtons::SetStripSize(TSize strip) {
  for (TVoCaptionButton& b : Buttons) {
    b.Width = strip.Width / 5;
    b.Height = strip.Height;
  }
}

void TVoCaptionButtons::Place(int windowWidth) {
  TVoCaptionButton& close = Buttons[cbClose];
  TVoCaptionButton& maximize = Buttons[cbMaximize];
  TVoCaptionButton& minimize = Buttons[cbMinimize];
  close.Left = windowWidth - 3 - close.Width;
  maximize.Left = close.Left - maximize.Width - 1;
  minimize.Left = maximize.Left - minimize.Width - 1;
}

bool TVoCaptionButtons::Hover(TPoint p) {
  bool changed = false;
  for (TVoCaptionButton& b : Buttons) {
    const bool hot = b.Reacts(p);
    changed = changed || hot != b.Hot;
    b.Hot = hot;
  }
  return changed;
}

bool TVoCaptionButtons::Press(TPoint p) {
  bool pressed = false;
  for (TVoCaptionButton& b : Buttons) {
    if (b.Reacts(p)) {
      b.Pressed = true;
      pressed = true;
    }
  }
  return pressed;
}

TVoCaptionButtons::TRelease TVoCaptionButtons::Release(TPoint p) {
  TRelease result;
  for (size_t i = 0; i < Buttons.size(); ++i) {
    TVoCaptionButton& b = Buttons[i];
    if (!b.Pressed)
      continue;
    b.Pressed = false;
    result.Repaint = true;
    if (b.Reacts(p))
      result.Clicked = static_cast<TVoCaptionButtonKind>(i);
  }
  return result;
}

namespace {

struct TZone {
  TRect Rect;
  TVoFrameHit Hit;
};

} // namespace

std::optional<TVoFrameHit> VoFrameHitTest(const TVoFrameHitArea& area, TPoint p) {
  const int w = area.Window.Width;
  const int h = area.Window.Height;
  std::optional<TVoFrameHit> hit;
  if (area.ShowCaption && VoCaptionBar(area.Window).Contains(p)) {
    hit = TVoFrameHit::Caption;
    if (area.Buttons) {
      for (const TVoCaptionButton& b : area.Buttons->Buttons)
        if (b.Visible && b.Bounds().Contains(p))
          hit = TVoFrameHit::Menu;
    }
    if (area.LangBox && area.LangBox->Contains(p))
      hit = TVoFrameHit::Menu;
  }
  if (!area.ResizeEnabled)
    return hit;
  using enum TVoFrameHit;
  const TZone zones[] = {
      {{0, 0, 7, 2}, TopLeft},
      {{8, 0, w - 8, 2}, Top},
      {{w - 7, 0, w, 2}, TopRight},
      {{0, 0, 2, 7}, TopLeft},
      {{0, 8, 2, h - 8}, Left},
      {{0, h - 7, 2, h}, BottomLeft},
      {{0, h - 2, 7, h}, BottomLeft},
      {{8, h - 2, w - 8, h}, Bottom},
      {{w - 7, h - 2, w, h}, BottomRight},
      {{w - 2, 0, w, 7}, TopRight},
      {{w - 2, 8, w, h - 8}, Right},
      {{w - 2, h - 7, w, h}, BottomRight},
      {{w - 16, h - 16, w, h}, BottomRight},
  };
  for (const TZone& zone : zones)
    if (zone.Rect.Contains(p))
      hit = zone.Hit;
  return hit;
}

std::vector<std::u16string> VoSplitCaption(std::u16string_view caption) {
  std::vector<std::u16string> pieces;
  size_t start = 0;
  for (;;) {
    const size_t mark = caption.find(u'>', start);
    if (mark == std::u16string_view::npos)
      break;
    pieces.emplace_back(caption.substr(start, mark - start));
    start = mark + 1;
  }
  pieces.emplace_back(caption.substr(start));
  return pieces;
}

TRect VoCaptionTextArea(TSize window) { return {0, 5, window.Width - 24, 20}; }

TVoCaptionLayout VoCaptionLayout(const std::vector<int>& pieceWidths) {
  TVoCaptionLayout layout;
  int x = 8;
  for (size_t i = 0; i < pieceWidths.size(); ++i) {
    layout.PieceX.push_back(x);
    x += pieceWidths[i];
    if (i + 1 < pieceWidths.size()) {
      layout.TriangleX.push_back(x);
      x += 5;
    }
  }
  return layout;
}

std::array<TVoLine, 5> VoCaptionTriangle(int x) {
  std::array<TVoLine, 5> lines;
  for (int i = 0; i < 5; ++i)
    lines[i] = {{x + i, 7 + i}, {x + i, 16 - i}};
  return lines;
}

TVoLangBox VoLangBox(const TVoCaptionButtons& buttons, int windowWidth, int textWidth) {
  int e = windowWidth - 3;
  if (buttons[cbMinimize].Visible)
    e = buttons[cbMinimize].Left - 1;
  else if (buttons[cbClose].Visible)
    e = buttons[cbClose].Left - 1;
  const int o = e - textWidth - 5;
  TVoLangBox box;
  box.Rect = {o, 3, e, 21};
  box.Corners = {TPoint{o, 3}, TPoint{o, 20}, TPoint{e - 1, 3}, TPoint{e - 1, 20}};
  box.TextRect = {o + 2, 6, e - 2, 18};
  return box;
}
