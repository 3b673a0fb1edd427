#include "ui/VoComboBox.h"

TVoComboButtonShape VoComboButtonShape(TSize window, bool dropDownList) {
  const int inset = dropDownList ? 0 : 1;
  const int clientWidth = window.Width - 2 * inset;
  const int clientHeight = window.Height - 2 * inset;
  TRect b{0, 0, window.Width, window.Height};
  if (dropDownList)
    b = {clientWidth + b.Left - 18, b.Top + 1, b.Right - 1, b.Bottom + 1};
  else
    b = {clientWidth + b.Left - 17, b.Top, b.Right - 2, b.Bottom};

  TVoComboButtonShape shape;
  shape.Button = b;
  const int a = b.Left;
  shape.Face = {a + 1, b.Top + 1, b.Right - 1, b.Bottom - 3};
  for (int i = 0; i < 3; ++i)
    shape.Gap[i] = {{a - i, 1}, {a - i, clientHeight - 1}};
  const int d = (b.Right - a) / 2;
  const int y = b.Top + (b.Bottom - b.Top) / 2 - 2;
  shape.Arrow = {TPoint{a + d - 2, y}, TPoint{a + d + 2, y}, TPoint{a + d, y + 2}};
  shape.Excluded = {clientWidth - 15, 0, clientWidth, clientHeight};
  return shape;
}
