#include "ui/VoRadioButton.h"

#include "ui/VoCheckBox.h"

TVoRadioColors VoRadioColors(const ITheme& theme, bool enabled, bool focused, bool checked) {
  // The knob is filled and marked as the check box's box is.
  TVoRadioColors c{};
  c.OutlineLeft = enabled ? theme.BorderDarkColor() : theme.BorderLightColor();
  c.OutlineRight = theme.BorderLightColor();
  c.Fill = VoCheckBoxFillColor(theme, enabled, focused);
  c.Dot = checked ? VoCheckMarkColor(theme, enabled) : c.Fill;
  return c;
}
