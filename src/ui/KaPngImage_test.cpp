#include "ui/KaPngImage.h"

#include "ui/testing/KaPngWriter.h"

#include <gtest/gtest.h>

TEST(PngImage, DecodesWithPremultipliedAlpha) {
  // Opaque red, half-transparent white, fully transparent green, and a
  // blue at alpha 0x40.
  std::vector<uint32_t> straight = {0xFFFF0000, 0x80FFFFFF, 0x0000FF00,
                                    0x400000FF, 0xFF102030, 0xFF405060};
  std::vector<uint8_t> file = EncodePng(3, 2, straight);
  TPngImage image = TPngImage::Decode(file.data(), file.size());
  ASSERT_EQ(image.Width(), 3);
  ASSERT_EQ(image.Height(), 2);
  EXPECT_EQ(image.Pixel(0, 0), 0xFFFF0000u);
  EXPECT_EQ(image.Pixel(1, 0), 0x80808080u);
  EXPECT_EQ(image.Pixel(2, 0), 0x00000000u);
  EXPECT_EQ(image.Pixel(0, 1), 0x40000040u);
  EXPECT_EQ(image.Pixel(1, 1), 0xFF102030u);
  EXPECT_EQ(image.Pixel(2, 1), 0xFF405060u);
}

TEST(PngImage, RefusesWhatIsNotAPicture) {
  const char text[] = "not a png at all";
  try {
    TPngImage::Decode(text, sizeof text);
    FAIL() << "no exception";
  } catch (const EPngError& e) {
    EXPECT_EQ(e.Message().rfind("Invalid PNG image: ", 0), 0u) << e.Message();
  }
  std::vector<uint8_t> file = EncodePng(2, 2, {0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000});
  file.resize(file.size() / 2);
  EXPECT_THROW(TPngImage::Decode(file.data(), file.size()), EPngError);
}

TEST(PngImage, PremultipliesRoundingToNearest) {
  EXPECT_EQ(Premultiply(0x80FF4001), 0x80802001u); // 128, 64 * 128 / 255 = 32.1, 0.502 -> 1
  EXPECT_EQ(Premultiply(0x00FFFFFF), 0u);
  EXPECT_EQ(Premultiply(0xFFABCDEF), 0xFFABCDEFu);
}
