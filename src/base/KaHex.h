#pragma once

#include <string>
#include <string_view>

// Lower-case hex of raw bytes, and back; FromHex refuses odd lengths and any
// character outside 0-9 a-f, so every value has one written form.
std::string ToHex(std::string_view bytes);
bool FromHex(std::string_view text, std::string& bytes);
