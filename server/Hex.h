#pragma once

#include <string>

// Lower-case hex of raw bytes, and back; FromHex refuses odd lengths and any
// character outside 0-9 a-f.
std::string ToHex(const std::string& bytes);
bool FromHex(const std::string& text, std::string& bytes);
