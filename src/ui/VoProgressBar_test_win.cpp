#include "ui/VoProgressBar_win.h"

#include "ui/Font_win.h"
#include "ui/KaDrawing_win.h"
#include "ui/testing/KaTestButton_win.h"
#include "ui/testing/KaUiTesting_win.h"

#include <gtest/gtest.h>

namespace {

// The pixels of `shown` in `area` that differ from `expected` there.
int Differences(const TBitmap& shown, const TBitmap& expected, const TRect& area) {
  int n = 0;
  for (int y = area.Top; y < area.Bottom; ++y)
    for (int x = area.Left; x < area.Right; ++x)
      n += shown.Pixel(x, y) != expected.Pixel(x, y);
  return n;
}

} // namespace

TEST(VoProgressBar, AnEmptyRangeShowsAFullBarAndOneHundredPercent) {
  TTestForm form;
  TVoProgressBar bar(&form);
  bar.SetBounds(10, 10, 204, 20);
  bar.SetMin(7);
  bar.SetMax(7);
  bar.SetPosition(3);
  EXPECT_EQ(bar.Percent(), 100);
  EXPECT_EQ(bar.Position(), 7); // clamped and stored by the rendering

  // What the bar should show: frame, fill to the inner right edge, and the
  // text centred in the default font, drawn here by hand.
  const IThemePtr theme = CurrentTheme();
  TBitmap expected(204, 20);
  expected.Fill(theme->WindowColor());
  DrawFrame(expected.DC(), {0, 0, 204, 20}, true, false);
  RECT fill{2, 2, 202, 18};
  FillRect(expected.DC(), &fill, SolidBrush(theme->ProgressColor()));
  SelectObject(expected.DC(), FontHandle(TFont{}));
  SetBkMode(expected.DC(), TRANSPARENT);
  const TSize text = TextExtent(expected.DC(), u"100 %");
  TextOutW(expected.DC(), (204 - text.Width) / 2, (20 - text.Height) / 2, L"100 %", 5);
  GdiFlush();

  const TBitmap shown = RenderControl(bar);
  EXPECT_EQ(Differences(shown, expected, {0, 0, 204, 20}), 0);
  // The text is there at all: dark pixels in the middle.
  int dark = 0;
  for (int x = 80; x < 124; ++x)
    for (int y = 4; y < 16; ++y)
      dark += shown.Pixel(x, y) == 0;
  EXPECT_GT(dark, 10);
}

TEST(VoProgressBar, FillsItsShareInsideTheFrame) {
  TTestForm form;
  TVoProgressBar bar(&form);
  bar.SetBounds(0, 0, 204, 20); // 200 pixels inside the frame
  bar.SetPosition(25);
  const IThemePtr theme = CurrentTheme();
  TBitmap shown = RenderControl(bar);
  EXPECT_EQ(shown.Pixel(2, 2), theme->ProgressColor());
  EXPECT_EQ(shown.Pixel(51, 3), theme->ProgressColor());
  EXPECT_EQ(shown.Pixel(52, 3), theme->WindowColor());
  EXPECT_EQ(shown.Pixel(51, 17), theme->ProgressColor());
  EXPECT_EQ(shown.Pixel(51, 18), theme->WindowColor()); // one white line inside the frame
  EXPECT_EQ(shown.Pixel(1, 10), theme->WindowColor());
  EXPECT_EQ(shown.Pixel(0, 10), theme->BorderDarkColor());
  EXPECT_EQ(shown.Pixel(100, 0), theme->BorderDarkColor());
  EXPECT_EQ(shown.Pixel(203, 10), theme->BorderLightColor());
  EXPECT_EQ(shown.Pixel(100, 19), theme->BorderLightColor());
  EXPECT_EQ(bar.Percent(), 25);

  // A position beyond Max is brought back and shows full.
  bar.SetPosition(150);
  EXPECT_EQ(bar.Position(), 100);
  shown = RenderControl(bar);
  EXPECT_EQ(shown.Pixel(201, 3), theme->ProgressColor());

  // Disabled, the frame is light all round.
  bar.SetEnabled(false);
  shown = RenderControl(bar);
  EXPECT_EQ(shown.Pixel(0, 10), theme->BorderLightColor());
  EXPECT_EQ(shown.Pixel(100, 0), theme->BorderLightColor());
}

TEST(VoProgressBar, FollowsTheLevelsOfItsWorkIdOnly) {
  TTestForm form;
  TVoProgressBar bar(&form);
  bar.SetWorkID(WorkFiles);
  bar.ObserveWork();
  ASSERT_TRUE(bar.ObservingWork());
  {
    TWorkGuard call(WorkCall, 0);
    TWorkGuard files(WorkFiles, 8);
    EXPECT_EQ(bar.Max(), 8);
    EXPECT_EQ(bar.Percent(), 0);
    Work().SetPosition(3);
    EXPECT_EQ(bar.Position(), 3);
    EXPECT_EQ(bar.Percent(), 38); // 37.5, half to even
    {
      // Another identifier, and an unmeasured level, leave the bar alone.
      TWorkGuard bytes(WorkReceive, 1000);
      Work().SetPosition(999);
      TWorkGuard unmeasured(WorkFiles, 0);
      Work().SetPosition(1);
    }
    EXPECT_EQ(bar.Max(), 8);
    EXPECT_EQ(bar.Position(), 3);
  } // the files level ends at its maximum
  EXPECT_EQ(bar.Position(), 8);
  EXPECT_EQ(bar.Percent(), 100);

  // A new level sets the range from 0 again, whatever Min was.
  bar.SetMin(5);
  {
    TWorkGuard files(WorkFiles, 4);
    Work().SetPosition(1);
  }
  EXPECT_EQ(bar.Min(), 0);
  EXPECT_EQ(bar.Max(), 4);

  bar.StopObservingWork();
  {
    TWorkGuard files(WorkFiles, 50);
    Work().SetPosition(10);
  }
  EXPECT_EQ(bar.Max(), 4);
}

TEST(VoProgressBar, LetsClicksRunWhileTheWorkGoesOn) {
  TTestForm form;
  TVoProgressBar bar(&form);
  bar.SetWorkID(WorkReceive);
  bar.ObserveWork();
  TTestButton button(&form, u"Stop");
  button.SetBounds(0, 40, 94, 24);
  int clicks = 0;
  button.OnClick = [&](TComponent&) { ++clicks; };
  PumpMessages();

  TWorkGuard bytes(WorkReceive, 100);
  // A click queued while the work runs on this thread, as a person's would be.
  const LPARAM at = MAKELPARAM(10, 10);
  PostMessageW(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(button.Handle(), WM_LBUTTONUP, 0, at);
  EXPECT_EQ(clicks, 0);
  Work().SetPosition(40);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(bar.Percent(), 40);
}
