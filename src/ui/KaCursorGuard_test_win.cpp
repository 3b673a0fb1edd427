#include "ui/KaCursorGuard.h"

#include "ui/KaScreenCursor_win.h"
#include "ui/testing/KaUiTesting_win.h"

#include <gtest/gtest.h>

TEST(CursorGuardOnScreen, TheHourglassShowsWhileBusyAndTheChosenCursorAfter) {
  TTestForm form;
  form.SetCursor(crHandPoint);
  TCursorGuard guard;
  guard.BeginBusy();
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
  guard.SetCursor(crIBeam);
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
  // The pointer moving over a window of the program keeps the hourglass,
  // whatever cursor the window asks for.
  SendMessageW(form.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form.Handle()),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));

  guard.EndBusy();
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_IBEAM));
  guard.SetCursor(crDefault);
  SendMessageW(form.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form.Handle()),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND)); // the form's own
}
