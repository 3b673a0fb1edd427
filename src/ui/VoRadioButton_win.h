#pragma once

// TVoRadioButton (Windows only): one choice of a group. The knob is a
// diamond; caption, focus rectangle, accelerator and Space are the check
// box's (ui/VoCheckBox_win.h).
//
// Groups are per parent: checking a radio button unchecks every other radio
// button of the same parent with the same GroupIndex (0 by default; -1 is a
// button of no group) and takes their tab stop, so that Tab reaches a group
// at its checked button. Each change of Checked repaints and fires OnChange.
// A click fires OnClick, takes the focus and checks the button.

#include "ui/VoCheckBox_win.h"

class TVoCustomRadioButton : public TVoCheckControl {
public:
  explicit TVoCustomRadioButton(TWinControl* parent);

  void Click() override;

protected:
  bool Checked() const { return FChecked; }
  void SetChecked(bool value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int index) { FGroupIndex = index; }

  void PaintGlyph(HDC dc) override;

private:
  bool FChecked = false;
  int FGroupIndex = 0;
};

class TVoRadioButton : public TVoCustomRadioButton {
public:
  using TVoCustomRadioButton::Caption;
  using TVoCustomRadioButton::Checked;
  using TVoCustomRadioButton::GroupIndex;
  using TVoCustomRadioButton::OnChange;
  using TVoCustomRadioButton::SetCaption;
  using TVoCustomRadioButton::SetChecked;
  using TVoCustomRadioButton::SetGroupIndex;
  using TVoCustomRadioButton::TVoCustomRadioButton;
};
