#include "base/KaText.h"

std::u16string ToWide(std::string_view text) { return Utf8ToWide(text); }
std::string FromWide(std::u16string_view text) { return WideToUtf8(text); }
