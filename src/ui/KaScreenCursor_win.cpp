#include "ui/KaScreenCursor_win.h"

HCURSOR CursorHandle(TCursor cursor) {
  LPCSTR id = IDC_ARROW; // integer resources: the 8-bit call takes them alike
  switch (cursor) {
  case crNone: return nullptr;
  case crCross: id = IDC_CROSS; break;
  case crIBeam: id = IDC_IBEAM; break;
  case crSizeNESW: id = IDC_SIZENESW; break;
  case crSizeNS: id = IDC_SIZENS; break;
  case crSizeNWSE: id = IDC_SIZENWSE; break;
  case crSizeWE: id = IDC_SIZEWE; break;
  case crUpArrow: id = IDC_UPARROW; break;
  case crHourGlass: id = IDC_WAIT; break;
  case crNo: id = IDC_NO; break;
  case crAppStart: id = IDC_APPSTARTING; break;
  case crHelp: id = IDC_HELP; break;
  case crHandPoint: id = IDC_HAND; break;
  case crSizeAll: id = IDC_SIZEALL; break;
  default: break;
  }
  return LoadCursorA(nullptr, id);
}

void ShowScreenCursor(TCursor cursor) {
  if (cursor != crDefault) {
    SetCursor(CursorHandle(cursor));
    return;
  }
  // Back to the cursor of whatever lies under the pointer: a window of this
  // thread is asked as the system asks it when the pointer moves.
  POINT p;
  HWND under = GetCursorPos(&p) ? WindowFromPoint(p) : nullptr;
  if (under && GetWindowThreadProcessId(under, nullptr) == GetCurrentThreadId()) {
    LRESULT hit = SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                 MAKELPARAM(static_cast<WORD>(hit), WM_MOUSEMOVE));
  } else {
    SetCursor(CursorHandle(crArrow));
  }
}
