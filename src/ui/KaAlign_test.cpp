#include "ui/KaAlign.h"

#include <gtest/gtest.h>

TEST(AlignInto, EdgesTakeTheirShareAndTheClientTheRest) {
  TRect remaining{0, 0, 500, 360};
  EXPECT_EQ(AlignInto(alTop, remaining, {10, 30}), (TRect{0, 0, 500, 30}));
  EXPECT_EQ(AlignInto(alBottom, remaining, {10, 40}), (TRect{0, 320, 500, 360}));
  EXPECT_EQ(AlignInto(alBottom, remaining, {10, 20}), (TRect{0, 300, 500, 320}));
  EXPECT_EQ(AlignInto(alLeft, remaining, {50, 1}), (TRect{0, 30, 50, 300}));
  EXPECT_EQ(AlignInto(alRight, remaining, {60, 1}), (TRect{440, 30, 500, 300}));
  EXPECT_EQ(remaining, (TRect{50, 30, 440, 300}));
  EXPECT_EQ(AlignInto(alClient, remaining, {1, 1}), (TRect{50, 30, 440, 300}));
  // Client children overlap: the area stays for the next one.
  EXPECT_EQ(AlignInto(alClient, remaining, {1, 1}), (TRect{50, 30, 440, 300}));
}

TEST(AnchoredBounds, KeepsDistancesToTheAnchoredSides) {
  const TRect b{384, 304, 478, 324};
  const TSize before{499, 360}, after{520, 400};
  EXPECT_EQ(AnchoredBounds(b, DefaultAnchors, before, after), b);
  EXPECT_EQ(AnchoredBounds(b, akTop | akRight, before, after), (TRect{405, 304, 499, 324}));
  EXPECT_EQ(AnchoredBounds(b, akRight | akBottom, before, after), (TRect{405, 344, 499, 364}));
  EXPECT_EQ(AnchoredBounds(b, akLeft | akRight | akTop, before, after),
            (TRect{384, 304, 499, 324}));
  EXPECT_EQ(AnchoredBounds(b, akLeft | akTop | akBottom, before, after),
            (TRect{384, 304, 478, 364}));
  EXPECT_EQ(AnchoredBounds(b, akTop, before, after), (TRect{394, 304, 488, 324}));
  // Shrinking moves the other way.
  EXPECT_EQ(AnchoredBounds(b, akTop | akRight, after, before), (TRect{363, 304, 457, 324}));
}
