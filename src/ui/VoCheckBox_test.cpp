#include "ui/VoCheckBox.h"

#include "ui/testing/VoGeometryPrinters.h"

#include "ui/testing/KaTestTheme.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The mark as a person sees it: rows 4 to 12 of the box, columns 1 to 11.
std::vector<std::string> Picture() {
  std::vector<std::string> rows(9, std::string(11, '.'));
  for (const TVoLine& line : VoCheckMark) {
    EXPECT_EQ(line.From.X, line.To.X);
    for (int y = line.From.Y; y < line.To.Y; ++y)
      rows[y - 4][line.From.X - 1] = '#';
  }
  return rows;
}

} // namespace

TEST(VoCheckMark, IsATickInsideTheBox) {
  const std::vector<std::string> expected{
      "...........", //  4
      "........#..", //  5
      ".......##..", //  6
      "..#...###..", //  7
      "..##.###...", //  8
      "..#####....", //  9
      "...###.....", // 10
      "....#......", // 11
      "...........", // 12
  };
  EXPECT_EQ(Picture(), expected);
  for (const TVoLine& line : VoCheckMark) {
    EXPECT_EQ(line.To.Y - line.From.Y, 3);
    EXPECT_TRUE(VoCheckBoxFill.Contains(line.From));
    EXPECT_TRUE(VoCheckBoxFill.Contains({line.To.X, line.To.Y - 1}));
  }
}

TEST(VoCheckBoxGeometry, BoxCaptionAndFocus) {
  // The fill is one pixel inside the 13 x 13 frame.
  EXPECT_EQ(VoCheckBoxFrame.Width(), 13);
  EXPECT_EQ(VoCheckBoxFill, (TRect{VoCheckBoxFrame.Left + 1, VoCheckBoxFrame.Top + 1,
                                   VoCheckBoxFrame.Right - 1, VoCheckBoxFrame.Bottom - 1}));
  EXPECT_EQ(VoCheckCaptionRect({121, 17}), (TRect{16, 1, 120, 16}));
  // The focus rectangle hugs the caption's text, two pixels either side.
  EXPECT_EQ(VoCheckFocusRect({121, 17}, 40), (TRect{14, 1, 58, 16}));
}

TEST(VoCheckBoxColors, FillFollowsEnabledThenFocusAndMarkDimsWhenDisabled) {
  const TDistinctTheme t;
  EXPECT_EQ(VoCheckBoxFillColor(t, true, false), 0xFFFFFFu);
  EXPECT_EQ(VoCheckBoxFillColor(t, true, true), 0x20F0F0u);
  EXPECT_EQ(VoCheckBoxFillColor(t, false, false), 0xFEFEFEu);
  // A disabled control shows no focus, whatever the window system thinks.
  EXPECT_EQ(VoCheckBoxFillColor(t, false, true), 0xFEFEFEu);
  EXPECT_EQ(VoCheckMarkColor(t, true), 0x000000u);
  EXPECT_EQ(VoCheckMarkColor(t, false), 0xF0C0A0u);
  EXPECT_EQ(VoCheckMarkColor(TBlueTheme{}, false), 0xF2D7C7u);
}
