#include "ui/VoIntegerEdit_win.h"

TVoCustomIntegerEdit::TVoCustomIntegerEdit(TWinControl* parent) : TVoCustomEdit(parent) {
  SetText(u"0");
}

int32_t TVoCustomIntegerEdit::Value() const { return VoIntegerEditValue(Text()); }

void TVoCustomIntegerEdit::SetValue(int32_t value) {
  if (value != Value())
    SetText(VoIntegerEditText(FRange.Clamp(value)));
}

void TVoCustomIntegerEdit::SetMaxValue(int32_t value) {
  if (value == FRange.maxValue)
    return;
  FRange.maxValue = value;
  SetValue(FRange.Clamp(Value()));
}

void TVoCustomIntegerEdit::KeyPress(char16_t& key) {
  if (!FRange.Accepts(Text(), SelStart(), SelLength(), key))
    key = 0;
  if (key)
    TVoCustomEdit::KeyPress(key);
}

void TVoCustomIntegerEdit::DoExit() {
  const std::u16string text = Text();
  const std::u16string left = FRange.LeaveText(text);
  if (left != text)
    SetText(left);
  TVoCustomEdit::DoExit();
}
