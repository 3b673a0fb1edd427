#include "ui/VoIntegerEdit.h"

#include "base/KaStrings.h"

#include <algorithm>

int32_t VoIntegerEditValue(std::u16string_view text) {
  std::string narrow;
  narrow.reserve(text.size());
  for (char16_t c : text) {
    if (c > 0x7F)
      return 0;
    narrow += static_cast<char>(c);
  }
  int64_t value = 0;
  if (!TryStrToInt64(narrow, value) || value < INT32_MIN || value > INT32_MAX)
    return 0;
  return static_cast<int32_t>(value);
}

std::u16string VoIntegerEditText(int32_t value) {
  const std::string digits = IntToStr(value);
  return std::u16string(digits.begin(), digits.end());
}

int32_t TVoIntegerRange::Clamp(int32_t v) const {
  int32_t r = v;
  if (hasMaxValue && maxValue < v)
    r = maxValue;
  if (hasMinValue && v < minValue)
    r = minValue;
  return r;
}

bool TVoIntegerRange::InRange(int32_t v) const {
  return !(hasMaxValue && v > maxValue) && (!hasMinValue || v >= minValue);
}

bool TVoIntegerRange::Accepts(std::u16string_view text, int selStart, int selLength,
                              char16_t key) const {
  if (key < 32)
    return true;
  if (key != u'-' && (key < u'0' || key > u'9'))
    return false;
  const int size = static_cast<int>(text.size());
  const int start = std::clamp(selStart, 0, size);
  const int length = std::clamp(selLength, 0, size - start);
  std::u16string candidate(text.substr(0, start));
  candidate += key;
  candidate += text.substr(start + length);
  const std::u16string_view c = candidate;
  if (key == u'-') {
    if ((hasMinValue && minValue >= 0) || start != 0 || c.starts_with(u"--"))
      return false;
  }
  if (key == u'0') {
    if (c.starts_with(u"00") || (start == 1 && c.starts_with(u"-0")))
      return false;
  }
  return InRange(VoIntegerEditValue(candidate));
}

std::u16string TVoIntegerRange::LeaveText(std::u16string_view text) const {
  return VoIntegerEditText(Clamp(VoIntegerEditValue(text)));
}
