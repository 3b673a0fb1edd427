#include "ui/CustomLabel_win.h"

#include "base/KaHandle_win.h"
#include "ui/Font_win.h"
#include "ui/KaAccelChar.h"
#include "ui/WinControl_win.h"

TCustomLabel::TCustomLabel(TWinControl* parent) : TGraphicControl(parent) {
  SetBounds(0, 0, 65, 13);
}

void TCustomLabel::SetCaption(const std::u16string& caption) {
  if (caption == FCaption)
    return;
  FCaption = caption;
  TextChanged();
}

template <class T> static bool Change(T& field, T value) {
  if (field == value)
    return false;
  field = value;
  return true;
}

void TCustomLabel::SetAutoSize(bool value) {
  if (Change(FAutoSize, value))
    AdjustBounds();
}

void TCustomLabel::SetWordWrap(bool value) {
  if (Change(FWordWrap, value))
    TextChanged();
}

void TCustomLabel::SetAlignment(TAlignment value) {
  if (Change(FAlignment, value))
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout value) {
  if (Change(FLayout, value))
    Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
  if (Change(FTransparent, value))
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
  if (Change(FShowAccelChar, value))
    TextChanged();
}

void TCustomLabel::TextChanged() {
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::FontChanged() { TextChanged(); }

UINT TCustomLabel::DrawFlags() const {
  static const UINT align[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  UINT flags = align[FAlignment] | DT_EXPANDTABS;
  if (FWordWrap)
    flags |= DT_WORDBREAK;
  if (!FShowAccelChar)
    flags |= DT_NOPREFIX;
  return flags;
}

TSize TCustomLabel::TextSize(int wrapWidth) {
  std::u16string text = LabelText();
  TScopedMemoryDC dc(CreateCompatibleDC(nullptr));
  HGDIOBJ old = SelectObject(dc.Get(), FontHandle(Font()));
  RECT r{0, 0, FWordWrap ? wrapWidth : 0, 0};
  // An empty text measures as one line, so the label keeps a height.
  std::u16string measured = text.empty() ? u" " : text;
  DrawTextW(dc.Get(), reinterpret_cast<const wchar_t*>(measured.c_str()),
            static_cast<int>(measured.size()), &r, DrawFlags() | DT_CALCRECT);
  SelectObject(dc.Get(), old);
  return {text.empty() ? 0 : static_cast<int>(r.right), static_cast<int>(r.bottom)};
}

void TCustomLabel::AdjustBounds() {
  if (!FAutoSize)
    return;
  int left = Left();
  // Right-aligned text keeps its right edge.
  if (FAlignment == taRightJustify && !FWordWrap)
    left = Left() + Width() - TextSize(Width()).Width;
  SetBounds(left, Top(), Width(), Height());
}

void TCustomLabel::SetBounds(int left, int top, int width, int height) {
  if (FAutoSize) {
    TSize s = TextSize(width);
    if (!FWordWrap)
      width = s.Width;
    height = s.Height;
  }
  TGraphicControl::SetBounds(left, top, width, height);
}

void TCustomLabel::Paint(HDC dc) {
  RECT r{0, 0, Width(), Height()};
  if (!FTransparent)
    FillRect(dc, &r, SolidBrush(Color()));
  std::u16string text = LabelText();
  UINT flags = DrawFlags();
  if (FLayout != tlTop) {
    RECT calc = r;
    DrawTextW(dc, reinterpret_cast<const wchar_t*>(text.c_str()), static_cast<int>(text.size()),
              &calc, flags | DT_CALCRECT);
    int offset = r.bottom - calc.bottom;
    r.top += FLayout == tlCenter ? offset / 2 : offset;
  }
  auto draw = [&](RECT place) {
    DrawTextW(dc, reinterpret_cast<const wchar_t*>(text.c_str()), static_cast<int>(text.size()),
              &place, flags);
  };
  if (Enabled()) {
    draw(r);
    return;
  }
  // Disabled: engraved, in the system's highlight and shadow colours.
  SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
  draw(RECT{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1});
  SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
  draw(r);
}

bool TCustomLabel::DialogChar(char16_t ch) {
  if (!FShowAccelChar || !FFocusControl || !IsAccel(ch, LabelText()) || !FFocusControl->CanFocus())
    return false;
  FFocusControl->SetFocus();
  return true;
}
