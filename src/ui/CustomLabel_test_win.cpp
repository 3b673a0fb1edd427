#include "ui/CustomLabel_win.h"

#include "ui/Image_win.h"
#include "ui/testing/KaPngWriter.h"
#include "ui/testing/KaUiTesting_win.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// An opaque picture with a colour that changes from pixel to pixel, so that
// a pixel that is not the picture's shows.
TPngImage Gradient(int width, int height) {
  std::vector<uint32_t> pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pixels.push_back(0xFF000000u | (static_cast<uint32_t>(x * 2) << 16) |
                       (static_cast<uint32_t>(y * 4) << 8) | 0xC0);
  std::vector<uint8_t> file = EncodePng(width, height, pixels);
  return TPngImage::Decode(file.data(), file.size());
}

TColor PictureColor(const TPngImage& image, int x, int y) {
  uint32_t p = image.Pixel(x, y);
  return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}

} // namespace

TEST(CustomLabel, LiesTransparentlyOnAPicture) {
  TTestForm form(120, 50);
  TImage image(&form);
  TPngImage picture = Gradient(120, 50);
  image.LoadFromPng(picture);
  image.SetAlign(alClient);
  TCustomLabel label(&form);
  label.SetCaption(u"Volgende");
  label.SetBounds(10, 10, 0, 0);
  ASSERT_GT(label.Width(), 20); // auto-sized to the text
  ASSERT_GT(label.Height(), 8);

  // Every pixel of the label is the picture's, or the picture's darkened by
  // the black text (smoothed glyph edges blend into the picture); a
  // background filled in first would be lighter somewhere.
  TBitmap shown = RenderControl(form);
  int glyph = 0, picturePixels = 0;
  for (int y = label.Top(); y < label.Top() + label.Height(); ++y) {
    for (int x = label.Left(); x < label.Left() + label.Width(); ++x) {
      TColor c = shown.Pixel(x, y), p = PictureColor(picture, x, y);
      if (c == p) {
        ++picturePixels;
        continue;
      }
      for (int shift = 0; shift < 24; shift += 8) {
        if (((c >> shift) & 0xFF) > ((p >> shift) & 0xFF))
          ADD_FAILURE() << "at " << x << "," << y << ": lighter than the picture: " << std::hex << c
                        << " over " << p;
      }
      if (c == 0)
        ++glyph;
    }
  }
  EXPECT_GT(glyph, 10);
  EXPECT_GT(picturePixels, glyph); // between and around the letters: the picture
  EXPECT_EQ(shown.Pixel(label.Left(), label.Top()),
            PictureColor(picture, label.Left(), label.Top()));
  EXPECT_EQ(shown.Pixel(5, 5), PictureColor(picture, 5, 5));
}

TEST(CustomLabel, AnOpaqueLabelFillsItsColour) {
  TTestForm form(120, 50);
  TCustomLabel label(&form);
  label.SetCaption(u"x");
  label.SetTransparent(false);
  label.SetColor(0x00FFFF);
  label.SetAutoSize(false);
  label.SetBounds(0, 0, 40, 20);
  TBitmap shown = RenderControl(form);
  EXPECT_EQ(shown.Pixel(30, 15), 0x00FFFFu);
  EXPECT_EQ(shown.Pixel(45, 15), 0xFFFFFFu); // the form
}

TEST(CustomLabel, SizesItselfToItsTextAndWraps) {
  TTestForm form;
  TCustomLabel label(&form);
  label.SetCaption(u"Kies");
  int shortWidth = label.Width();
  label.SetCaption(u"Kies uw taal...");
  EXPECT_GT(label.Width(), shortWidth);
  int oneLine = label.Height();

  label.SetWordWrap(true);
  label.SetWidth(40);
  label.SetCaption(u"Kies uw taal uit de lijst hieronder");
  EXPECT_EQ(label.Width(), 40);
  EXPECT_GE(label.Height(), 3 * oneLine);

  label.SetAutoSize(false);
  label.SetCaption(u"x");
  EXPECT_GE(label.Height(), 3 * oneLine);
}
