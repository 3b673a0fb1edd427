#pragma once

#include <string>
#include <string_view>

// The wizard form, portable part: the captions of its pages and the texts it
// fills in when a page is entered. The form itself is Form_Main_win.h.

// Pages of the notebook, in this order.
inline constexpr const char* PageLanguage = "Language";
inline constexpr const char* PageWelcome = "Welcome";
inline constexpr const char* PageInstallPath = "InstallPath";
inline constexpr const char* PageInstalling = "Installing";
inline constexpr const char* PageDone = "Done";
inline constexpr const char* PageUninstall = "Uninstall";
inline constexpr const char* PageUninstallDone = "Uninstall Done";
inline constexpr const char* PageError = "Error";
inline constexpr const char* PageUpdate = "Update";

// The formatted text of a marker: its translation, brought into the system's
// 8-bit code page, formatted with the product's display name as its one
// argument ("%0:s", once or more), and brought back to UTF-16. A display
// name with characters that the code page lacks shows them as that code
// page shows them ("?"), as every 8-bit text of the program does.
std::u16string FormattedText(std::u16string_view marker, const std::u16string& productName);
