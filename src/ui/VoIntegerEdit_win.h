#pragma once

// TVoIntegerEdit (Windows only): the edit of a whole number, such as the
// proxy port of the internet settings. It starts with the text "0".
//
// Value reads the text (0 when it is empty or not a 32-bit number) and
// writes it in decimal, brought into the bounds: with hasMaxValue set no
// more than maxValue, with hasMinValue set no less than minValue (the
// minimum wins when the bounds cross). A new maxValue brings the value into
// range at once; a new minValue does not, the value follows when the field
// is left.
//
// Typing takes the digits and a leading "-" only, and never a key that would
// take the value out of range (ui/VoIntegerEdit.h has the rules). When the
// field is left its text becomes its value, in range; then the edit's own
// leaving (Filter) follows.

#include "ui/VoEdit_win.h"
#include "ui/VoIntegerEdit.h"

#include <cstdint>

class TVoCustomIntegerEdit : public TVoCustomEdit {
public:
  explicit TVoCustomIntegerEdit(TWinControl* parent);

protected:
  int32_t Value() const;
  void SetValue(int32_t value);
  bool hasMaxValue() const { return FRange.hasMaxValue; }
  void SetHasMaxValue(bool value) { FRange.hasMaxValue = value; }
  bool hasMinValue() const { return FRange.hasMinValue; }
  void SetHasMinValue(bool value) { FRange.hasMinValue = value; }
  int32_t maxValue() const { return FRange.maxValue; }
  void SetMaxValue(int32_t value);
  int32_t minValue() const { return FRange.minValue; }
  void SetMinValue(int32_t value) { FRange.minValue = value; }

  void KeyPress(char16_t& key) override;
  void DoExit() override;

private:
  TVoIntegerRange FRange;
};

class TVoIntegerEdit : public TVoCustomIntegerEdit {
public:
  using TVoCustomIntegerEdit::Filter;
  using TVoCustomIntegerEdit::hasMaxValue;
  using TVoCustomIntegerEdit::hasMinValue;
  using TVoCustomIntegerEdit::maxValue;
  using TVoCustomIntegerEdit::minValue;
  using TVoCustomIntegerEdit::Required;
  using TVoCustomIntegerEdit::SetFilter;
  using TVoCustomIntegerEdit::SetHasMaxValue;
  using TVoCustomIntegerEdit::SetHasMinValue;
  using TVoCustomIntegerEdit::SetMaxValue;
  using TVoCustomIntegerEdit::SetMinValue;
  using TVoCustomIntegerEdit::SetRequired;
  using TVoCustomIntegerEdit::SetValue;
  using TVoCustomIntegerEdit::TVoCustomIntegerEdit;
  using TVoCustomIntegerEdit::Value;
};
