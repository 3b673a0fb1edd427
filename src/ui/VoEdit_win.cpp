#include "ui/VoEdit_win.h"

#include "base/KaText.h"
#include "ui/KaDrawing_win.h"
#include "ui/VoEdit.h"

namespace {

// The frame line and the three rings around the text.
constexpr int FrameWidth = 4;

} // namespace

TVoCustomEdit::TVoCustomEdit(TWinControl* parent) : TVoLayoutReported<TCustomEdit>(parent) {
  SetBorderStyle(ebsNone);
  SetColor(CurrentTheme()->WindowColor());
  SetHeight(21);
}

void TVoCustomEdit::CreateParams(TCreateParams& p) {
  TCustomEdit::CreateParams(p);
  p.Style &= ~WS_BORDER;
  p.ExStyle &= ~WS_EX_CLIENTEDGE;
}

void TVoCustomEdit::SetRequired(bool value) {
  if (value == FRequired)
    return;
  FRequired = value;
  PaintFrame();
}

void TVoCustomEdit::WndProc(TMessage& m) {
  switch (m.Msg) {
  case WM_NCCALCSIZE:
    DefaultHandler(m);
    InsetProposedClient(m.LParam, FrameWidth);
    return;
  case WM_NCPAINT:
    DefaultHandler(m);
    PaintFrame();
    return;
  default: TCustomEdit::WndProc(m);
  }
}

void TVoCustomEdit::PaintFrame() {
  if (!HandleAllocated())
    return;
  PaintOnWindow(Handle(), [this](HDC dc, TSize size) {
    DrawFieldFrame(dc, {0, 0, size.Width, size.Height}, Enabled(), FRequired, Color(),
                   FrameWidth - 1);
  });
}

TColor TVoCustomEdit::StateColor() {
  IThemePtr theme = CurrentTheme();
  if (!Enabled())
    return theme->DisabledColor();
  return Focused() ? theme->FocusColor() : theme->WindowColor();
}

void TVoCustomEdit::ShowState() {
  SetColor(StateColor());
  PaintFrame();
}

void TVoCustomEdit::ThemeChanged() {
  ShowState();
  Invalidate();
}

void TVoCustomEdit::KeyPress(char16_t& key) {
  if (!VoEditKeepsKey(ToWide(FFilter), key))
    key = 0;
  if (key)
    TCustomEdit::KeyPress(key);
}

void TVoCustomEdit::DoEnter() {
  SetColor(CurrentTheme()->FocusColor());
  PaintFrame();
  TCustomEdit::DoEnter();
}

void TVoCustomEdit::DoExit() {
  if (!FFilter.empty()) {
    const std::u16string text = Text();
    const std::u16string kept = VoEditFiltered(ToWide(FFilter), text);
    if (kept != text)
      SetText(kept);
  }
  SetColor(CurrentTheme()->WindowColor());
  PaintFrame();
  TCustomEdit::DoExit();
}

void TVoCustomEdit::EnabledChanged() {
  TVoLayoutReported<TCustomEdit>::EnabledChanged();
  IThemePtr theme = CurrentTheme();
  SetColor(Enabled() ? theme->WindowColor() : theme->DisabledColor());
  PaintFrame();
}
