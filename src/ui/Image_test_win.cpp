#include "ui/Image_win.h"

#include "ui/testing/KaPngWriter.h"
#include "ui/testing/KaUiTesting_win.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

bool Near(TColor a, TColor b) {
  for (int shift = 0; shift < 24; shift += 8) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 1)
      return false;
  }
  return true;
}

} // namespace

TEST(Image, BlendsThePictureByItsAlphaAndSharesIt) {
  TTestForm form(60, 30);
  form.SetColor(0xFFFFFF);
  // Left half: red at half alpha; right half: fully transparent.
  std::vector<uint32_t> pixels;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x)
      pixels.push_back(x < 10 ? 0x80FF0000u : 0x000000FFu);
  std::vector<uint8_t> file = EncodePng(20, 10, pixels);
  TImage image(&form);
  image.SetBounds(5, 5, 20, 10);
  image.LoadFromPng(TPngImage::Decode(file.data(), file.size()));
  TImage copy(&form);
  copy.SetBounds(30, 5, 20, 10);
  copy.SetPicture(image.Picture());
  EXPECT_EQ(copy.Picture().get(), image.Picture().get());

  TBitmap shown = RenderControl(form);
  EXPECT_TRUE(Near(shown.Pixel(6, 6), 0x7F7FFF)) << std::hex << shown.Pixel(6, 6);
  EXPECT_EQ(shown.Pixel(20, 6), 0xFFFFFFu);
  EXPECT_TRUE(Near(shown.Pixel(31, 14), 0x7F7FFF));
  EXPECT_EQ(shown.Pixel(2, 2), 0xFFFFFFu);
}
