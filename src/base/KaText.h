#pragma once

#include <string>
#include <string_view>

// Conversions between the 8-bit texts of the system (system code page; UTF-8
// natively) and the UTF-16 texts shown to the user.
std::u16string ToWide(std::string_view text);
std::string FromWide(std::u16string_view text);

std::u16string Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::u16string_view text);
