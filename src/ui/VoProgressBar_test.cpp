#include "ui/VoProgressBar.h"

#include "ui/testing/VoGeometryPrinters.h"

#include <gtest/gtest.h>

#include <climits>

TEST(VoProgress, PercentRoundsHalvesToEven) {
  EXPECT_EQ((TVoProgress{0, 8, 1}).Percent(), 12);  // 12.5
  EXPECT_EQ((TVoProgress{0, 8, 3}).Percent(), 38);  // 37.5
  EXPECT_EQ((TVoProgress{0, 200, 1}).Percent(), 0); // 0.5
  EXPECT_EQ((TVoProgress{0, 200, 3}).Percent(), 2); // 1.5
  EXPECT_EQ((TVoProgress{0, 3, 1}).Percent(), 33);
  EXPECT_EQ((TVoProgress{0, 3, 2}).Percent(), 67);
  EXPECT_EQ((TVoProgress{0, 100, 0}).Percent(), 0);
  EXPECT_EQ((TVoProgress{0, 100, 100}).Percent(), 100);
  // An offset range counts from Min.
  EXPECT_EQ((TVoProgress{100, 300, 150}).Percent(), 25);
  EXPECT_EQ((TVoProgress{-50, 50, 0}).Percent(), 50);
}

TEST(VoProgress, AnEmptyRangeIsFull) {
  const TVoProgress same{5, 5, 0};
  EXPECT_EQ(same.Percent(), 100);
  EXPECT_EQ(VoProgressText(same.Percent()), u"100 %");
  EXPECT_EQ(same.FillRect({329, 20}), (TRect{2, 2, 327, 18}));
  // Max below Min is no wider a range than an empty one.
  EXPECT_EQ((TVoProgress{10, 0, 3}).Percent(), 100);
}

TEST(VoProgress, PositionIsHeldInsideTheRange) {
  EXPECT_EQ((TVoProgress{0, 100, 250}).ClampedPosition(), 100);
  EXPECT_EQ((TVoProgress{0, 100, -5}).ClampedPosition(), 0);
  EXPECT_EQ((TVoProgress{0, 100, 250}).Percent(), 100);
  EXPECT_EQ((TVoProgress{0, 100, -5}).Percent(), 0);
  // Extreme values neither overflow nor leave 0..100.
  EXPECT_EQ((TVoProgress{INT32_MIN, INT32_MAX, INT32_MAX}).Percent(), 100);
  EXPECT_EQ((TVoProgress{INT32_MIN, INT32_MAX, 0}).Percent(), 50);
  EXPECT_EQ((TVoProgress{INT32_MIN, INT32_MAX, INT32_MIN}).Percent(), 0);
}

TEST(VoProgress, FillInsideTheFrame) {
  // 329 wide: 325 pixels inside the two-pixel border on each side.
  EXPECT_EQ((TVoProgress{0, 100, 0}).FillRect({329, 20}), (TRect{2, 2, 2, 18}));
  EXPECT_EQ((TVoProgress{0, 100, 100}).FillRect({329, 20}), (TRect{2, 2, 327, 18}));
  // 325 / 2 = 162.5 rounds to 162; 325 * 3 / 8 = 121.875 to 122.
  EXPECT_EQ((TVoProgress{0, 2, 1}).FillRect({329, 20}).Right, 164);
  EXPECT_EQ((TVoProgress{0, 8, 3}).FillRect({329, 20}).Right, 124);
  // 327 / 2 = 163.5 rounds up to the even 164.
  EXPECT_EQ((TVoProgress{0, 2, 1}).FillRect({331, 20}).Right, 166);
  // A bar narrower than its frame fills nothing.
  EXPECT_EQ((TVoProgress{0, 1, 1}).FillRect({3, 20}).Right, 2);
}

TEST(VoProgress, TextIsNumberSpacePercent) {
  EXPECT_EQ(VoProgressText(0), u"0 %");
  EXPECT_EQ(VoProgressText(42), u"42 %");
}
