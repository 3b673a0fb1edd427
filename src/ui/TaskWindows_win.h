#pragma once

// Keeps the user to one window (Windows only): while it lives, every other
// visible and enabled top-level window of the thread is disabled; when it
// goes (also by an exception) they are enabled again and the window that was
// active before becomes active again. For modal forms and system dialogs.

#include <vector>

#include <windows.h>

class TTaskWindowsDisabler {
public:
  explicit TTaskWindowsDisabler(HWND keep);
  ~TTaskWindowsDisabler() { Restore(); }
  TTaskWindowsDisabler(const TTaskWindowsDisabler&) = delete;
  TTaskWindowsDisabler& operator=(const TTaskWindowsDisabler&) = delete;

  // Enables the windows again now; the destructor then does nothing.
  void Restore();

private:
  static BOOL CALLBACK DisableOne(HWND window, LPARAM self) noexcept;

  HWND FKeep;
  HWND FActive;
  std::vector<HWND> FDisabled;
  bool FRestored = false;
};
