#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// TVoIntegerEdit, portable part: the value rules of the integer edit (reading
// the text as a number, the optional bounds, and which typed keys it takes).
// The edit window itself is the Windows twin, VoIntegerEdit_win.h /
// VoIntegerEdit_win.cpp, which holds a TVoIntegerRange for its published
// hasMinValue/minValue/hasMaxValue/maxValue and asks it on every key and
// when the field is left.

// The text as an integer: 0 when it is empty or not a 32-bit integer.
int32_t VoIntegerEditValue(std::u16string_view text);

std::u16string VoIntegerEditText(int32_t value);

struct TVoIntegerRange {
  bool hasMinValue = false;
  bool hasMaxValue = false;
  int32_t minValue = 0;
  int32_t maxValue = 0;

  // The bound that v crosses; the minimum wins when both apply (a maximum
  // below the minimum).
  int32_t Clamp(int32_t v) const;
  bool InRange(int32_t v) const;

  // Whether a typed character is taken, with the caret (selection start) at
  // selStart and selLength characters selected in text. Only "-" and the
  // digits are typed into the field: a "-" only at the start, never doubled,
  // and not at all when the minimum is 0 or more; no leading "00" or "-0";
  // and never a key that would make the value leave the range. Control
  // characters (Backspace, the clipboard keys) are the edit's own business
  // and pass; the text is brought into range when the field is left.
  bool Accepts(std::u16string_view text, int selStart, int selLength, char16_t key) const;

  // The text the field gets when it is left: its value, clamped.
  std::u16string LeaveText(std::u16string_view text) const;
};
