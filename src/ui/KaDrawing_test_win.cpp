#include "ui/KaDrawing_win.h"

#include "ui/Bitmap_win.h"
#include "ui/Font_win.h"

#include <gtest/gtest.h>

namespace {

const TColor Back = 0xFF00FF;

class Drawing : public ::testing::Test {
protected:
  void SetUp() override { canvas.Fill(Back); }
  TColor At(int x, int y) { return canvas.Pixel(x, y); }
  TBitmap canvas{20, 20};
};

} // namespace

TEST_F(Drawing, FrameDarkTopLeftLightBottomRightEndPointsExclusive) {
  IThemePtr t = CurrentTheme();
  DrawFrame(canvas.DC(), {2, 1, 12, 8}, true, false);
  for (int y = 1; y <= 7; ++y)
    EXPECT_EQ(At(2, y), t->BorderDarkColor()) << "left, y " << y;
  for (int x = 2; x <= 11; ++x)
    EXPECT_EQ(At(x, 1), t->BorderDarkColor()) << "top, x " << x;
  for (int y = 2; y <= 6; ++y)
    EXPECT_EQ(At(11, y), t->BorderLightColor()) << "right, y " << y;
  for (int x = 3; x <= 11; ++x)
    EXPECT_EQ(At(x, 7), t->BorderLightColor()) << "bottom, x " << x;
  // The end points of the lines stay untouched, and so does the inside.
  EXPECT_EQ(At(12, 1), Back);
  EXPECT_EQ(At(2, 8), Back);
  EXPECT_EQ(At(11, 8), Back);
  EXPECT_EQ(At(1, 7), Back);
  EXPECT_EQ(At(2, 0), Back);
  EXPECT_EQ(At(6, 4), Back);
}

TEST_F(Drawing, FrameDisabledAndRequired) {
  IThemePtr t = CurrentTheme();
  DrawFrame(canvas.DC(), {0, 0, 10, 10}, false, false);
  EXPECT_EQ(At(0, 5), t->BorderLightColor());
  EXPECT_EQ(At(5, 0), t->BorderLightColor());
  EXPECT_EQ(At(9, 5), t->BorderLightColor());

  DrawFrame(canvas.DC(), {0, 10, 10, 20}, true, true);
  EXPECT_EQ(At(0, 15), t->ErrorDarkColor());
  EXPECT_EQ(At(5, 10), t->ErrorDarkColor());
  EXPECT_EQ(At(9, 15), t->ErrorLightColor());
  EXPECT_EQ(At(5, 19), t->ErrorLightColor());

  // A disabled required field: light error colour all round.
  DrawFrame(canvas.DC(), {10, 0, 20, 10}, false, true);
  EXPECT_EQ(At(10, 5), t->ErrorLightColor());
  EXPECT_EQ(At(19, 5), t->ErrorLightColor());
}

TEST_F(Drawing, DiamondLeftHalfAndRightHalfEndPointsExclusive) {
  const TColor left = 0x0000FF, right = 0x00FF00;
  DrawDiamond(canvas.DC(), {0, 2, 12, 14}, left, right); // mx 6, my 8
  for (int i = 0; i <= 6; ++i) {
    EXPECT_EQ(At(i, 8 - i), left) << "upper left, x " << i;
    EXPECT_EQ(At(i, 8 + i), left) << "lower left, x " << i;
  }
  for (int i = 0; i <= 5; ++i) {
    EXPECT_EQ(At(12 - i, 8 - i), right) << "upper right, x " << 12 - i;
    EXPECT_EQ(At(12 - i, 8 + i), right) << "lower right, x " << 12 - i;
  }
  EXPECT_EQ(At(7, 1), Back);  // (mx+1, Top-1), the end of the upper left line
  EXPECT_EQ(At(7, 15), Back); // (mx+1, Bottom+1)
  EXPECT_EQ(At(13, 8), Back);
  EXPECT_EQ(At(6, 8), Back);
}

TEST_F(Drawing, TextExtentMeasuresInTheSelectedFont) {
  HDC dc = canvas.DC();
  SelectObject(dc, FontHandle(TFont{}));
  TSize one = TextExtent(dc, u"W");
  TSize two = TextExtent(dc, u"WW");
  EXPECT_GT(one.Width, 0);
  EXPECT_EQ(two.Width, 2 * one.Width);
  EXPECT_EQ(one.Height, two.Height);
  EXPECT_EQ(TextExtent(dc, u"").Width, 0);

  TFont big;
  big.Height = -19;
  big.Style = fsBold;
  SelectObject(dc, FontHandle(big));
  EXPECT_GT(TextExtent(dc, u"W").Height, one.Height);
}
