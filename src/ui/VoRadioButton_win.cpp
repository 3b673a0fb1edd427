#include "ui/VoRadioButton_win.h"

#include "ui/KaDrawing_win.h"
#include "ui/VoRadioButton.h"

TVoCustomRadioButton::TVoCustomRadioButton(TWinControl* parent) : TVoCheckControl(parent) {}

void TVoCustomRadioButton::SetChecked(bool value) {
  if (value == FChecked)
    return;
  FChecked = value;
  if (value) {
    SetTabStop(true);
    if (Parent() && FGroupIndex != -1) {
      for (TControl* c : std::vector<TControl*>(Parent()->Controls())) {
        auto* other = dynamic_cast<TVoCustomRadioButton*>(c);
        if (!other || other == this || other->FGroupIndex != FGroupIndex)
          continue;
        other->SetChecked(false);
        other->SetTabStop(false);
      }
    }
  }
  Changed();
}

void TVoCustomRadioButton::Click() {
  TVoCheckControl::Click();
  if (CanFocus())
    SetFocus();
  if (!FChecked)
    SetChecked(true);
}

void TVoCustomRadioButton::PaintGlyph(HDC dc) {
  const TVoRadioColors c = VoRadioColors(*CurrentTheme(), Enabled(), Focused(), FChecked);
  DrawDiamond(dc, VoRadioOutline, c.OutlineLeft, c.OutlineRight);
  for (const TRect& r : VoRadioFill)
    DrawDiamond(dc, r, c.Fill, c.Fill);
  for (const TRect& r : VoRadioDot)
    DrawDiamond(dc, r, c.Dot, c.Dot);
}
