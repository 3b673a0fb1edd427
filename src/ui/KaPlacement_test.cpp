#include "ui/KaPlacement.h"

#include <gtest/gtest.h>

TEST(CenteredInWorkArea, CentresAFormThatFits) {
  EXPECT_EQ(CenteredInWorkArea({0, 0, 1280, 994}, {499, 360}), Bounds(390, 317, 499, 360));
  // A work area that does not start at the origin (a task bar on the left).
  EXPECT_EQ(CenteredInWorkArea({60, 0, 1280, 1024}, {500, 360}), Bounds(420, 332, 500, 360));
}

TEST(CenteredInWorkArea, ShrinksALargerFormToTheWorkArea) {
  EXPECT_EQ(CenteredInWorkArea({0, 30, 800, 600}, {1000, 700}), (TRect{0, 30, 800, 600}));
  // Only the direction that does not fit is shrunk.
  EXPECT_EQ(CenteredInWorkArea({0, 0, 800, 600}, {499, 700}), Bounds(150, 0, 499, 600));
}

TEST(CenteredOver, CutsHalvesTowardZero) {
  EXPECT_EQ(CenteredOver(Bounds(100, 100, 499, 360), {320, 400}), (TPoint{189, 80}));
  // 103 wider than 100: -1.5 becomes -1.
  EXPECT_EQ(CenteredOver(Bounds(10, 10, 100, 100), {103, 97}), (TPoint{9, 11}));
}
