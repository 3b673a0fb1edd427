#include "ui/VoComboBox.h"

#include "ui/testing/VoGeometryPrinters.h"

#include <gtest/gtest.h>

TEST(VoComboButtonShape, DropDownStyleInsideTheOnePixelClientInset) {
  // The wizard's language box: 124 x 21, client 122 x 19.
  const auto s = VoComboButtonShape({124, 21}, false);
  EXPECT_EQ(s.Button, (TRect{105, 0, 122, 21}));
  EXPECT_EQ(s.Face, (TRect{106, 1, 121, 18}));
  EXPECT_EQ(s.Gap[0], (TVoLine{{105, 1}, {105, 18}}));
  EXPECT_EQ(s.Gap[1], (TVoLine{{104, 1}, {104, 18}}));
  EXPECT_EQ(s.Gap[2], (TVoLine{{103, 1}, {103, 18}}));
  // d = 17 / 2 = 8, y = 0 + 21 / 2 - 2 = 8.
  EXPECT_EQ(s.Arrow[0], (TPoint{111, 8}));
  EXPECT_EQ(s.Arrow[1], (TPoint{115, 8}));
  EXPECT_EQ(s.Arrow[2], (TPoint{113, 10}));
  EXPECT_EQ(s.Excluded, (TRect{107, 0, 122, 19}));
}

TEST(VoComboButtonShape, DropDownListStyleUsesTheWholeWindowAsClient) {
  const auto s = VoComboButtonShape({124, 21}, true);
  EXPECT_EQ(s.Button, (TRect{106, 1, 123, 22}));
  EXPECT_EQ(s.Button.Width(), 17);
  EXPECT_EQ(s.Face, (TRect{107, 2, 122, 19}));
  EXPECT_EQ(s.Gap[2], (TVoLine{{104, 1}, {104, 20}}));
  // y = 1 + 21 / 2 - 2 = 9.
  EXPECT_EQ(s.Arrow[0], (TPoint{112, 9}));
  EXPECT_EQ(s.Arrow[2], (TPoint{114, 11}));
  EXPECT_EQ(s.Excluded, (TRect{109, 0, 124, 21}));
}

TEST(VoComboButtonShape, TheArrowSitsInsideTheButtonFace) {
  for (int width : {60, 124, 334}) {
    for (int height : {17, 21, 30}) {
      for (bool list : {false, true}) {
        const auto s = VoComboButtonShape({width, height}, list);
        EXPECT_EQ(s.Button.Width(), 17);
        for (TPoint p : s.Arrow)
          EXPECT_TRUE(s.Face.Contains(p)) << width << "x" << height << " list " << list;
        EXPECT_EQ(s.Excluded.Width(), 15);
      }
    }
  }
}
