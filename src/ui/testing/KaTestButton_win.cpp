#include "ui/testing/KaTestButton_win.h"

#include "ui/Font_win.h"
#include "ui/Form_win.h"
#include "ui/KaAccelChar.h"
#include "ui/KaDrawing_win.h"

TTestButton::TTestButton(TWinControl* parent, std::u16string caption)
    : TCustomControl(parent), FCaption(std::move(caption)) {
  SetBounds(0, 0, 94, 24);
  SetTabStop(true);
  SetColor(0xF0F0F0);
}

void TTestButton::Click() {
  if (ModalResult)
    if (TForm* form = ParentForm())
      form->SetModalResult(ModalResult);
  TCustomControl::Click();
}

bool TTestButton::DialogKey(WORD key, TShiftState shift) {
  if (!CanFocus())
    return false;
  if ((key == VK_RETURN && (Default || Focused())) || (key == VK_ESCAPE && Cancel)) {
    Click();
    return true;
  }
  return false;
}

bool TTestButton::DialogChar(char16_t ch) {
  if (!CanFocus() || !IsAccel(ch, FCaption))
    return false;
  Click();
  return true;
}

void TTestButton::Paint(HDC dc) {
  DrawFrame(dc, {0, 0, Width(), Height()}, Enabled(), false);
  RECT r{2, 2, Width() - 2, Height() - 2};
  DrawTextW(dc, reinterpret_cast<const wchar_t*>(FCaption.c_str()),
            static_cast<int>(FCaption.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (Focused()) {
    RECT f{3, 3, Width() - 3, Height() - 3};
    DrawFocusRect(dc, &f);
  }
}

void TTestButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (CanFocus())
    SetFocus();
  TCustomControl::MouseDown(button, shift, x, y);
}

void TTestButton::DoEnter() {
  Invalidate();
  TCustomControl::DoEnter();
}

void TTestButton::DoExit() {
  Invalidate();
  TCustomControl::DoExit();
}
