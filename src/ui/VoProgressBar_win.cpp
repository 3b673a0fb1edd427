#include "ui/VoProgressBar_win.h"

#include "ui/Application_win.h"
#include "ui/Font_win.h"
#include "ui/KaDrawing_win.h"

TVoCustomProgressBar::TVoCustomProgressBar(TWinControl* parent) : TKaCustomControl(parent) {
  SetBounds(0, 0, 200, 20);
}

void TVoCustomProgressBar::Change(int32_t& field, int32_t value) {
  if (field == value)
    return;
  field = value;
  DrawBuffer(Width(), Height());
}

void TVoCustomProgressBar::SetMin(int32_t value) { Change(FProgress.Min, value); }
void TVoCustomProgressBar::SetMax(int32_t value) { Change(FProgress.Max, value); }
void TVoCustomProgressBar::SetPosition(int32_t value) { Change(FProgress.Position, value); }

void TVoCustomProgressBar::WorkChanged(const IWorkLevel& level) {
  if (level.GetWorkID() != FWorkID || level.GetMaximum() <= 0)
    return;
  SetMin(0);
  SetMax(level.GetMaximum());
  SetPosition(level.GetPosition());
  Application().ProcessMessages();
}

void TVoCustomProgressBar::EnabledChanged() {
  TKaCustomControl::EnabledChanged();
  DrawBuffer(Width(), Height());
}

void TVoCustomProgressBar::DrawBuffer(int width, int height) {
  FProgress.Position = FProgress.ClampedPosition();
  if (!Buffer().Empty()) {
    const IThemePtr theme = CurrentTheme();
    HDC dc = Buffer().DC();
    Buffer().Fill(theme->WindowColor());
    DrawFrame(dc, {0, 0, width, height}, Enabled(), false);
    const TRect fill = FProgress.FillRect({width, height});
    if (!fill.IsEmpty()) {
      RECT r{fill.Left, fill.Top, fill.Right, fill.Bottom};
      FillRect(dc, &r, SolidBrush(theme->ProgressColor()));
    }
    // The buffer's own font, not the control's: the bar's text is not part
    // of the page's typography.
    const std::u16string text = VoProgressText(FProgress.Percent());
    const int saved = SaveDC(dc);
    SelectObject(dc, FontHandle(TFont{}));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, 0x000000);
    const TSize extent = TextExtent(dc, text);
    TextOutW(dc, (width - extent.Width) / 2, (height - extent.Height) / 2,
             reinterpret_cast<const wchar_t*>(text.c_str()), static_cast<int>(text.size()));
    RestoreDC(dc, saved);
  }
  TKaCustomControl::DrawBuffer(width, height);
}
