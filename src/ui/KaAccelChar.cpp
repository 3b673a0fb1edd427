#include "ui/KaAccelChar.h"

namespace {

// Upper case of the ASCII and Latin-1 letters, the alphabets of the
// program's languages.
char16_t Upper(char16_t c) {
  if (c >= u'a' && c <= u'z')
    return c - 0x20;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
    return c - 0x20;
  return c;
}

} // namespace

char16_t AccelChar(std::u16string_view caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != u'&')
      continue;
    if (caption[i + 1] != u'&')
      return caption[i + 1];
    ++i; // "&&" is a plain "&"
  }
  return 0;
}

bool IsAccel(char16_t ch, std::u16string_view caption) {
  char16_t accel = AccelChar(caption);
  return accel != 0 && Upper(accel) == Upper(ch);
}

std::u16string RemoveAmpersands(std::u16string_view caption) {
  std::u16string out;
  for (char16_t c : caption) {
    if (c != u'&')
      out += c;
  }
  return out;
}
