#pragma once

#include <string>

// The main window until the wizard form exists: a plain window that shows one
// line of text. Runs the message loop until the window is closed.
int RunPlainWindow(const std::string& title, const std::u16string& text);
