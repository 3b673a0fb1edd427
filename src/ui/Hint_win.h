#pragma once

// Tooltips (Windows only): the system's wide-text tooltip, one for the
// program, showing a window's hint when the pointer rests on it.

#include <string_view>

#include <windows.h>

// Shows `text` as the window's tooltip from now on; an empty text removes it.
void SetWindowHint(HWND window, std::u16string_view text);
