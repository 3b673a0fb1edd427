#include "ui/TaskWindows_win.h"

BOOL CALLBACK TTaskWindowsDisabler::DisableOne(HWND window, LPARAM self) noexcept {
  auto* me = reinterpret_cast<TTaskWindowsDisabler*>(self);
  if (window != me->FKeep && IsWindowVisible(window) && IsWindowEnabled(window)) {
    try {
      me->FDisabled.push_back(window);
    } catch (...) {
      return FALSE; // out of memory: the rest stay as they are
    }
    EnableWindow(window, FALSE);
  }
  return TRUE;
}

TTaskWindowsDisabler::TTaskWindowsDisabler(HWND keep) : FKeep(keep), FActive(GetActiveWindow()) {
  EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(this));
}
void TTaskWindowsDisabler::Restore() {
  if (FRestored)
    return;
  FRestored = true;
  for (HWND window : FDisabled) {
    if (IsWindow(window))
      EnableWindow(window, TRUE);
  }
  if (FActive && IsWindow(FActive))
    SetActiveWindow(FActive);
}
