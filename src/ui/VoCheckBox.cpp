#include "ui/VoCheckBox.h"

TRect VoCheckCaptionRect(TSize size) { return {16, 1, size.Width - 1, size.Height - 1}; }

TRect VoCheckFocusRect(TSize size, int captionWidth) {
  return {14, 1, captionWidth + 18, size.Height - 1};
}

TColor VoCheckBoxFillColor(const ITheme& theme, bool enabled, bool focused) {
  if (!enabled)
    return theme.WindowColor();
  return focused ? theme.FocusColor() : 0xFFFFFF;
}

TColor VoCheckMarkColor(const ITheme& theme, bool enabled) {
  return enabled ? 0x000000 : theme.BorderLightColor();
}
