#include "ui/VoArtwork.h"

#include "ui/KaPngImage.h"
#include "ui/VoButton.h"
#include "ui/testing/VoArtworkTesting.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

// The pictures as the program gets them: present under their names, real
// PNG files of the exact size in 8-bit RGBA. And as a person sees them: the
// states of a button tell apart, its captions read on every face, the page's
// text area is light enough for dark text, and the caption glyphs are light
// on the caption bar.

namespace {

using TRgb = std::array<double, 3>;

// The pixel as shown over an opaque background (the decoded colour is
// premultiplied by alpha).
TRgb Over(const TPngImage& p, int x, int y, TRgb background) {
  const uint32_t px = p.Pixel(x, y);
  const double rest = 1 - (px >> 24) / 255.0;
  return {((px >> 16) & 0xFF) + background[0] * rest, ((px >> 8) & 0xFF) + background[1] * rest,
          (px & 0xFF) + background[2] * rest};
}

int Alpha(const TPngImage& p, int x, int y) { return static_cast<int>(p.Pixel(x, y) >> 24); }

uint32_t BigEndian(const std::string& b, size_t at) {
  return uint32_t(uint8_t(b[at])) << 24 | uint32_t(uint8_t(b[at + 1])) << 16 |
         uint32_t(uint8_t(b[at + 2])) << 8 | uint32_t(uint8_t(b[at + 3]));
}

TRgb Rgb(uint32_t bgr) {
  return {double(bgr & 0xFF), double((bgr >> 8) & 0xFF), double((bgr >> 16) & 0xFF)};
}

// Relative luminance and contrast ratio as the accessibility guidelines
// define them: 1 for equal colours, 21 for black on white.
double Luminance(TRgb c) {
  double l[3];
  for (int i = 0; i < 3; ++i) {
    const double v = c[i] / 255.0;
    l[i] = v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  }
  return 0.2126 * l[0] + 0.7152 * l[1] + 0.0722 * l[2];
}

double Contrast(TRgb a, TRgb b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TPngImage Load(const char* name) {
  const std::string bytes = LoadArtwork(name);
  if (bytes.empty()) {
    ADD_FAILURE() << name << " is not there";
    return {};
  }
  return TPngImage::Decode(bytes.data(), bytes.size());
}

// How many pixels of two frames a person sees differ (a clear step in some
// channel), each shown over the given background.
int VisiblyDifferent(const TPngImage& p, int frameWidth, int a, int b, TRgb background) {
  int count = 0;
  for (int y = 0; y < p.Height(); ++y) {
    for (int x = 0; x < frameWidth; ++x) {
      const TRgb ca = Over(p, a * frameWidth + x, y, background);
      const TRgb cb = Over(p, b * frameWidth + x, y, background);
      for (int i = 0; i < 3; ++i) {
        if (std::abs(ca[i] - cb[i]) >= 40) {
          ++count;
          break;
        }
      }
    }
  }
  return count;
}

const TRgb PageWhite{255, 255, 255};
const TRgb CaptionColor = Rgb(0xDE9A61);

} // namespace

TEST(VoArtwork, EveryPictureIsThereAsAnRgbaPngOfItsSize) {
  for (const TVoArtwork& art : VoArtwork) {
    SCOPED_TRACE(art.Name);
    const std::string bytes = LoadArtwork(art.Name);
    ASSERT_GT(bytes.size(), 33u);
    ASSERT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    ASSERT_EQ(bytes.substr(12, 4), "IHDR");
    EXPECT_EQ(BigEndian(bytes, 16), uint32_t(art.Width));
    EXPECT_EQ(BigEndian(bytes, 20), uint32_t(art.Height));
    EXPECT_EQ(uint8_t(bytes[24]), 8) << "bit depth";
    EXPECT_EQ(uint8_t(bytes[25]), PNG_COLOR_TYPE_RGB_ALPHA) << "colour type";
    const TPngImage p = TPngImage::Decode(bytes.data(), bytes.size());
    EXPECT_EQ(p.Width(), art.Width);
    EXPECT_EQ(p.Height(), art.Height);
  }
}

TEST(VoArtwork, ButtonStatesTellApartAndTheirCaptionsRead) {
  const std::pair<const char*, TVoButtonTextPosition> buttons[] = {
      {BUTTON_NEXT, tbpRight}, {BUTTON_PREVIOUS, tbpLeft}, {BUTTON_PLAIN, tbpRight}};
  // The captions of the normal, latched and hot faces must read as body
  // text does; the pressed face is seen for a moment and the disabled one
  // is meant to recede, but both must still be legible.
  const double needed[VoButtonFrameCount] = {4.5, 3.0, 4.0, 4.5, 4.5};
  for (const auto& [name, position] : buttons) {
    SCOPED_TRACE(name);
    const TPngImage p = Load(name);
    ASSERT_EQ(p.Width(), 470);
    const TSize frame = VoButtonSize({}, {p.Width(), p.Height()});
    for (int a = 0; a < VoButtonFrameCount; ++a) {
      for (int b = a + 1; b < VoButtonFrameCount; ++b) {
        EXPECT_GE(VisiblyDifferent(p, frame.Width, a, b, PageWhite), 200)
            << "frames " << a << " and " << b;
      }
    }
    for (int f = 0; f < VoButtonFrameCount; ++f) {
      // The face behind the caption, over the lines the text takes.
      const TRect r = VoButtonTextRect(position, f, frame);
      TRgb sum{};
      int n = 0;
      for (int y = r.Top; y < r.Top + 12; ++y)
        for (int x = r.Left; x < r.Right; ++x, ++n) {
          const TRgb c = Over(p, x, y, PageWhite);
          for (int i = 0; i < 3; ++i)
            sum[i] += c[i];
        }
      const TRgb face{sum[0] / n, sum[1] / n, sum[2] / n};
      EXPECT_GE(Contrast(face, Rgb(VoButtonTextColor(f))), needed[f]) << "frame " << f;
    }
  }
}

TEST(VoArtwork, WizardBackgroundIsOpaqueWithALightTextArea) {
  const TPngImage p = Load(WIZARD_BACKGROUND);
  ASSERT_EQ(p.Width(), 500);
  double band = 0;
  for (int y = 0; y < p.Height(); ++y) {
    for (int x = 0; x < p.Width(); ++x) {
      ASSERT_EQ(Alpha(p, x, y), 255) << x << "," << y;
      const double l = Luminance(Over(p, x, y, PageWhite));
      if (x >= 144) {
        // Black labels on it keep a contrast of 15 or more.
        ASSERT_GE(l, 0.7) << x << "," << y;
      } else if (x < 140) {
        band += l;
      }
    }
  }
  // The band is a colour of its own, well apart from the text area.
  EXPECT_LT(band / (140.0 * p.Height()), 0.45);
}

TEST(VoArtwork, CaptionButtonsAreLightGlyphsOnTheCaptionBar) {
  for (const char* name :
       {VO_MODIFIER_MINIMIZE, VO_MODIFIER_MAXIMIZE, VO_MODIFIER_CLOSE, VO_MODIFIER_RESTORE}) {
    SCOPED_TRACE(name);
    const TPngImage p = Load(name);
    ASSERT_EQ(p.Width(), 90);
    // Normal frame: the glyph as light as white can be on the bar, and
    // the rest of the frame is the bar itself.
    int glyph = 0;
    int bar = 0;
    for (int y = 0; y < 18; ++y)
      for (int x = 0; x < 18; ++x) {
        const double c = Contrast(Over(p, x, y, CaptionColor), CaptionColor);
        glyph += c >= 2.5;
        bar += c < 1.05;
      }
    EXPECT_GE(glyph, 10);
    EXPECT_GE(bar, 18 * 18 / 2);
    // Normal, disabled, pressed and hot tell apart.
    for (int a : {0, 1, 2, 4}) {
      for (int b : {0, 1, 2, 4}) {
        if (a < b) {
          EXPECT_GE(VisiblyDifferent(p, 18, a, b, CaptionColor), 8)
              << "frames " << a << " and " << b;
        }
      }
    }
  }
}
