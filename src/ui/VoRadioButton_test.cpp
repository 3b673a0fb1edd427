#include "ui/VoRadioButton.h"

#include "ui/testing/VoGeometryPrinters.h"

#include "ui/testing/KaTestTheme.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The centre the theme's diamond helper draws around.
TPoint Centre(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

} // namespace

TEST(VoRadioKnob, DiamondsShareOneCentreAndNestOnePixelApart) {
  std::vector<TRect> all{VoRadioOutline};
  all.insert(all.end(), VoRadioFill.begin(), VoRadioFill.end());
  all.insert(all.end(), VoRadioDot.begin(), VoRadioDot.end());
  ASSERT_EQ(all.size(), 7u);
  for (size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(Centre(all[i]), (TPoint{6, 8})) << i;
    if (i > 0) {
      EXPECT_EQ(all[i], (TRect{all[i - 1].Left + 1, all[i - 1].Top + 1, all[i - 1].Right - 1,
                               all[i - 1].Bottom - 1}))
          << i;
    }
  }
  // The innermost is a single point, the knob's centre.
  EXPECT_EQ(VoRadioDot.back().Width(), 0);
}

TEST(VoRadioColors, OutlineFillAndDotInEveryState) {
  const TDistinctTheme t;
  // Idle, focused, disabled; unchecked the dot is painted away in the fill.
  EXPECT_EQ(VoRadioColors(t, true, false, false),
            (TVoRadioColors{0x803000, 0xF0C0A0, 0xFFFFFF, 0xFFFFFF}));
  EXPECT_EQ(VoRadioColors(t, true, true, false),
            (TVoRadioColors{0x803000, 0xF0C0A0, 0x20F0F0, 0x20F0F0}));
  EXPECT_EQ(VoRadioColors(t, false, false, false),
            (TVoRadioColors{0xF0C0A0, 0xF0C0A0, 0xFEFEFE, 0xFEFEFE}));
  // Checked: a black dot, a light one when disabled.
  EXPECT_EQ(VoRadioColors(t, true, true, true),
            (TVoRadioColors{0x803000, 0xF0C0A0, 0x20F0F0, 0x000000}));
  EXPECT_EQ(VoRadioColors(t, false, false, true),
            (TVoRadioColors{0xF0C0A0, 0xF0C0A0, 0xFEFEFE, 0xF0C0A0}));
}
