#pragma once

// A plain push button for the tests and the demo (Windows only): a caption
// in a frame, clicked by the mouse, by Enter when it is the default button or
// has the focus, by Escape when it is the cancel button, and by its
// accelerator.

#include "ui/CustomControl_win.h"

class TTestButton : public TCustomControl {
public:
  TTestButton(TWinControl* parent, std::u16string caption);

  const std::u16string& Caption() const { return FCaption; }
  bool Default = false;
  bool Cancel = false;
  // What a modal form answers when the button is clicked (mrNone: nothing).
  int ModalResult = 0;

  void Click() override;
  bool DialogKey(WORD key, TShiftState shift) override;
  bool DialogChar(char16_t ch) override;

protected:
  void Paint(HDC dc) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void DoEnter() override;
  void DoExit() override;

private:
  std::u16string FCaption;
};
