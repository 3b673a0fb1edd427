#include "ui/VoCheckBox_win.h"

#include "ui/Font_win.h"
#include "ui/KaAccelChar.h"
#include "ui/KaDrawing_win.h"
#include "ui/VoCheckBox.h"

namespace {

void DrawCaption(HDC dc, const std::u16string& text, TRect r, COLORREF color) {
  SetTextColor(dc, color);
  RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  DrawTextW(dc, reinterpret_cast<const wchar_t*>(text.c_str()), static_cast<int>(text.size()), &rc,
            DT_LEFT | DT_WORDBREAK);
}

} // namespace

TVoCheckControl::TVoCheckControl(TWinControl* parent) : TVoLayoutReported<TCustomControl>(parent) {
  SetBounds(0, 0, 121, 17);
  SetTabStop(true);
  // The caption lies on whatever is beneath: the form, or a page's picture.
  SetParentBackground(true);
}

void TVoCheckControl::SetCaption(const std::u16string& caption) {
  if (caption == FCaption)
    return;
  FCaption = caption;
  Invalidate();
}

void TVoCheckControl::Changed() {
  Invalidate();
  Fire(OnChange, *this);
}

void TVoCheckControl::Paint(HDC dc) {
  PaintGlyph(dc);
  const std::u16string text = Translate(FCaption);
  const TSize size{Width(), Height()};
  const TRect r = VoCheckCaptionRect(size);
  if (Enabled()) {
    DrawCaption(dc, text, r, GetTextColor(dc));
  } else {
    DrawCaption(dc, text, OffsetRect(r, 1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawCaption(dc, text, r, GetSysColor(COLOR_BTNSHADOW));
  }
  if (Focused()) {
    const TRect f = VoCheckFocusRect(size, TextExtent(dc, RemoveAmpersands(text)).Width);
    RECT fr{f.Left, f.Top, f.Right, f.Bottom};
    DrawFocusRect(dc, &fr);
  }
}

bool TVoCheckControl::DialogChar(char16_t ch) {
  if (!CanFocus() || !IsAccel(ch, Translate(FCaption)))
    return false;
  SetFocus();
  Click();
  return true;
}

void TVoCheckControl::KeyPress(char16_t& key) {
  TVoLayoutReported<TCustomControl>::KeyPress(key);
  if (key == u' ') {
    key = 0;
    Click();
  }
}

void TVoCheckControl::DoEnter() {
  Invalidate();
  TVoLayoutReported<TCustomControl>::DoEnter();
}

void TVoCheckControl::DoExit() {
  Invalidate();
  TVoLayoutReported<TCustomControl>::DoExit();
}

TVoCustomCheckBox::TVoCustomCheckBox(TWinControl* parent) : TVoCheckControl(parent) {}

void TVoCustomCheckBox::SetChecked(bool value) {
  if (value == FChecked)
    return;
  FChecked = value;
  Changed();
}

void TVoCustomCheckBox::Click() {
  SetChecked(!FChecked);
  TVoCheckControl::Click();
  if (TabStop() && CanFocus())
    SetFocus();
}

void TVoCustomCheckBox::PaintGlyph(HDC dc) {
  IThemePtr theme = CurrentTheme();
  DrawFrame(dc, VoCheckBoxFrame, Enabled(), false);
  const TRect f = VoCheckBoxFill;
  RECT fill{f.Left, f.Top, f.Right, f.Bottom};
  FillRect(dc, &fill, SolidBrush(VoCheckBoxFillColor(*theme, Enabled(), Focused())));
  if (!FChecked)
    return;
  const TColor mark = VoCheckMarkColor(*theme, Enabled());
  for (const TVoLine& line : VoCheckMark)
    DrawPolyline(dc, mark, {line.From, line.To});
}
