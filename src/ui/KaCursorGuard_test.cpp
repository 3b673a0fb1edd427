#include "ui/KaCursorGuard.h"

#include <gtest/gtest.h>

TEST(CursorGuard, ACursorChosenWhileBusyShowsWhenTheBusyPeriodEnds) {
  TCursorGuard guard;
  EXPECT_EQ(guard.GetCursor(), crDefault);
  guard.SetCursor(crHandPoint);
  EXPECT_EQ(ScreenCursor(), crHandPoint);

  guard.BeginBusy();
  EXPECT_EQ(ScreenCursor(), crHourGlass);
  guard.SetCursor(crIBeam);
  EXPECT_EQ(guard.GetCursor(), crIBeam);
  EXPECT_EQ(ScreenCursor(), crHourGlass);

  guard.EndBusy();
  EXPECT_FALSE(guard.Busy());
  EXPECT_EQ(ScreenCursor(), crIBeam);
  guard.SetCursor(crDefault);
  EXPECT_EQ(ScreenCursor(), crDefault);
}

TEST(CursorGuard, OneEndBusyEndsAnyNumberOfBeginBusy) {
  TCursorGuard guard;
  guard.BeginBusy();
  guard.BeginBusy();
  guard.EndBusy();
  EXPECT_FALSE(guard.Busy());
  EXPECT_EQ(ScreenCursor(), crDefault);
  EXPECT_EQ(CursorGuard(), CursorGuard());
}
