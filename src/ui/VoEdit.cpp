#include "ui/VoEdit.h"

bool VoEditKeepsKey(std::u16string_view filter, char16_t key) {
  if (key == u'\r')
    return false;
  return key < 32 || filter.empty() || filter.find(key) != std::u16string_view::npos;
}

std::u16string VoEditFiltered(std::u16string_view filter, std::u16string_view text) {
  if (filter.empty())
    return std::u16string(text);
  std::u16string out;
  for (char16_t c : text) {
    if (filter.find(c) != std::u16string_view::npos)
      out += c;
  }
  return out;
}
