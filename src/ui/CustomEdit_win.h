#pragma once

// The wide-text edit (Windows only): one line of text over the system's EDIT
// control. Colour and font are the control's; OnChange fires on every change
// of the text, by the user or by the program.
//
// A descendant filters typing in KeyPress (set the key to 0 to refuse it),
// and may take over the non-client area in WndProc (WM_NCCALCSIZE,
// WM_NCPAINT) to draw a frame of its own.

#include "ui/WinControl_win.h"

enum TEditBorderStyle { ebsNone, ebsSingle };

class TCustomEdit : public TWinControl {
public:
  explicit TCustomEdit(TWinControl* parent);

  TEditBorderStyle BorderStyle() const { return FBorderStyle; }
  // Takes effect when the window is made.
  void SetBorderStyle(TEditBorderStyle style) { FBorderStyle = style; }
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int length);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);

  // The selection, in UTF-16 code units; the caret is at its end.
  int SelStart();
  int SelLength();
  void SetSelection(int start, int length);
  void SelectAll() { SetSelection(0, -1); }

  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  bool Reflected(TMessage& message) override;
  virtual void Change();

private:
  TEditBorderStyle FBorderStyle = ebsSingle;
  int FMaxLength = 0;
  bool FReadOnly = false;
};

// The answer to WM_CTLCOLOR* for a control of `color` and `font`: what the
// edit and the combo box hand back to the system.
LRESULT ControlColors(HDC dc, TColor color, const TFont& font);
