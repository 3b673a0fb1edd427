#include "ui/KaCustomControl_win.h"

#include "ui/Hint_win.h"

TKaCustomControl::TKaCustomControl(TWinControl* parent) : TCustomControl(parent) {
  FBuffer.SetSize(Width(), Height());
}

void TKaCustomControl::SetHint(const std::u16string& hint) {
  if (hint == FHint)
    return;
  FHint = hint;
  LanguageChanged();
}

void TKaCustomControl::LanguageChanged() {
  FShownHint = Translate(FHint);
  if (HandleAllocated())
    SetWindowHint(Handle(), FShownHint);
}

void TKaCustomControl::HandleCreated() {
  if (!FShownHint.empty())
    SetWindowHint(Handle(), FShownHint);
}

void TKaCustomControl::ThemeChanged() { DrawBuffer(Width(), Height()); }

void TKaCustomControl::SetBounds(int left, int top, int width, int height) {
  if (width != Width() || height != Height()) {
    FBuffer.SetSize(width, height);
    TCustomControl::SetBounds(left, top, width, height);
    DrawBuffer(width, height);
  } else {
    TCustomControl::SetBounds(left, top, width, height);
  }
}

void TKaCustomControl::DrawBuffer(int, int) {
  Invalidate();
  Update();
}

void TKaCustomControl::Paint(HDC dc) { FBuffer.Draw(dc, 0, 0, {0, 0, Width(), Height()}); }

void TKaCustomControl::WndProc(TMessage& m) {
  // The buffer covers the whole control: nothing is erased first.
  if (m.Msg == WM_ERASEBKGND) {
    m.Result = 0;
    return;
  }
  TCustomControl::WndProc(m);
}
