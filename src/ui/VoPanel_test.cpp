#include "ui/VoPanel.h"

#include "ui/testing/VoGeometryPrinters.h"

#include <gtest/gtest.h>

TEST(VoPanelClientRect, InsetsPerBorderStyle) {
  const TSize size{185, 41};
  // Style 1: the dark outline ends one pixel before the light line.
  EXPECT_EQ(VoPanelClientRect(size, 1, TVoPanelBorders::All()), (TRect{1, 1, 183, 39}));
  EXPECT_EQ(VoPanelClientRect(size, 2, TVoPanelBorders::All()), (TRect{1, 1, 184, 40}));
  EXPECT_EQ(VoPanelClientRect(size, 3, TVoPanelBorders::All()), (TRect{1, 1, 184, 40}));
  EXPECT_EQ(VoPanelClientRect(size, 0, TVoPanelBorders::All()), (TRect{0, 0, 185, 41}));
  EXPECT_EQ(VoPanelClientRect(size, 7, TVoPanelBorders::All()), (TRect{0, 0, 185, 41}));
}

TEST(VoPanelClientRect, StyleThreeInsetsOnlyTheNamedSides) {
  const TSize size{100, 50};
  EXPECT_EQ(VoPanelClientRect(size, 3, {pbTop}), (TRect{0, 1, 100, 50}));
  EXPECT_EQ(VoPanelClientRect(size, 3, {pbBottom}), (TRect{0, 0, 100, 49}));
  EXPECT_EQ(VoPanelClientRect(size, 3, {pbLeft, pbRight}), (TRect{1, 0, 99, 50}));
  EXPECT_EQ(VoPanelClientRect(size, 3, {}), (TRect{0, 0, 100, 50}));
  // The other styles ignore Borders.
  EXPECT_EQ(VoPanelClientRect(size, 1, {}), (TRect{1, 1, 98, 48}));
  EXPECT_EQ(VoPanelClientRect(size, 2, {pbTop}), (TRect{1, 1, 99, 49}));
}

TEST(VoPanelBorderLines, FullLengthOnTheOutermostPixels) {
  const auto lines = VoPanelBorderLines({100, 50}, TVoPanelBorders::All());
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], (TVoLine{{0, 0}, {100, 0}}));
  EXPECT_EQ(lines[1], (TVoLine{{0, 49}, {100, 49}}));
  EXPECT_EQ(lines[2], (TVoLine{{0, 0}, {0, 50}}));
  EXPECT_EQ(lines[3], (TVoLine{{99, 0}, {99, 50}}));
  const auto right = VoPanelBorderLines({100, 50}, {pbRight});
  ASSERT_EQ(right.size(), 1u);
  EXPECT_EQ(right[0], (TVoLine{{99, 0}, {99, 50}}));
  EXPECT_TRUE(VoPanelBorderLines({100, 50}, {}).empty());
}

TEST(VoPanelBorders, SetMembership) {
  const TVoPanelBorders tb{pbTop, pbBottom};
  EXPECT_TRUE(tb.Contains(pbTop));
  EXPECT_TRUE(tb.Contains(pbBottom));
  EXPECT_FALSE(tb.Contains(pbLeft));
  EXPECT_FALSE(tb.Contains(pbRight));
  EXPECT_EQ(tb, (TVoPanelBorders{pbBottom, pbTop, pbTop}));
  EXPECT_FALSE(tb == TVoPanelBorders::All());
}
