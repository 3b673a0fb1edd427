#include "ui/KaGeometry.h"

#include <gtest/gtest.h>

TEST(IntersectRect, SharesPixelsOnlyWhereBothHaveThem) {
  TRect common{9, 9, 9, 9};
  EXPECT_TRUE(IntersectRect(common, {0, 0, 10, 10}, {5, 6, 20, 20}));
  EXPECT_EQ(common, (TRect{5, 6, 10, 10}));
  EXPECT_TRUE(IntersectRect(common, {0, 0, 10, 10}, {2, 3, 4, 5}));
  EXPECT_EQ(common, (TRect{2, 3, 4, 5}));

  // Right and bottom edges are exclusive: rectangles that only touch share
  // nothing.
  common = {1, 1, 2, 2};
  EXPECT_FALSE(IntersectRect(common, {0, 0, 10, 10}, {10, 0, 20, 10}));
  EXPECT_EQ(common, TRect{});
  EXPECT_FALSE(IntersectRect(common, {0, 0, 10, 10}, {0, 10, 10, 20}));
  // An empty rectangle meets nothing, even inside another.
  EXPECT_FALSE(IntersectRect(common, {0, 0, 10, 10}, {3, 3, 3, 8}));
  EXPECT_FALSE(IntersectRect(common, {5, 5, 0, 0}, {0, 0, 10, 10}));
}

TEST(Rect, ContainsExcludesRightAndBottomEdges) {
  TRect r = Bounds(144, 200, 334, 21);
  EXPECT_EQ(r, (TRect{144, 200, 478, 221}));
  EXPECT_TRUE(r.Contains({144, 200}));
  EXPECT_TRUE(r.Contains({477, 220}));
  EXPECT_FALSE(r.Contains({478, 220}));
  EXPECT_FALSE(r.Contains({477, 221}));
  EXPECT_EQ(OffsetRect(r, -144, -200), (TRect{0, 0, 334, 21}));
}
