#pragma once

#include <string>
#include <string_view>

// TVoEdit, portable part: which typed characters the edit keeps and what its
// Filter leaves of a text. The edit window is the Windows twin
// (VoEdit_win.h / VoEdit_win.cpp); it widens its 8-bit Filter and asks here
// on every typed character and when the field is left.

// Whether a typed character reaches the field. Enter never does: a one-line
// field has nothing to do with it, and the system would only beep. Other
// control characters (Backspace, the clipboard keys) always do. A printable
// character does when the filter is empty or holds it.
bool VoEditKeepsKey(std::u16string_view filter, char16_t key);

// The text with every character that the filter does not hold taken out;
// the text as it is when the filter is empty.
std::u16string VoEditFiltered(std::u16string_view filter, std::u16string_view text);
