#include "ui/VoButton.h"

#include "ui/testing/VoGeometryPrinters.h"

#include <gtest/gtest.h>

TEST(VoButtonFrame, DisabledWinsThenLatchedThenPressedThenHot) {
  // Fields: Enabled, Down, Pressed, Hot.
  EXPECT_EQ((TVoButtonState{false, true, false, false}).Frame(), VoButtonFrameDisabled);
  EXPECT_EQ((TVoButtonState{false, true, true, true}).Frame(), VoButtonFrameDisabled);
  EXPECT_EQ((TVoButtonState{true, true, true, true}).Frame(), VoButtonFrameDown);
  EXPECT_EQ((TVoButtonState{true, false, true, true}).Frame(), VoButtonFramePressed);
  EXPECT_EQ((TVoButtonState{true, false, true, false}).Frame(), VoButtonFramePressed);
  EXPECT_EQ((TVoButtonState{true, false, false, true}).Frame(), VoButtonFrameHot);
  EXPECT_EQ(TVoButtonState{}.Frame(), VoButtonFrameNormal);
  EXPECT_EQ((std::array{0, 1, 2, 3, 4}),
            (std::array<int, 5>{VoButtonFrameNormal, VoButtonFrameDisabled, VoButtonFramePressed,
                                VoButtonFrameDown, VoButtonFrameHot}));
}

TEST(VoButtonSize, OneFrameOfTheStripWhateverIsAsked) {
  EXPECT_EQ(VoButtonSize({200, 50}, {470, 20}), (TSize{94, 20}));
  EXPECT_EQ(VoButtonSize({0, 0}, {470, 20}), (TSize{94, 20}));
  // An odd strip width keeps whole frames.
  EXPECT_EQ(VoButtonSize({10, 10}, {472, 21}), (TSize{94, 21}));
  // No image: the requested bounds stand.
  EXPECT_EQ(VoButtonSize({75, 25}, {0, 0}), (TSize{75, 25}));
  EXPECT_EQ(VoButtonSize({75, 25}, {470, 0}), (TSize{75, 25}));
}

TEST(VoButtonText, ColoursPerFrame) {
  EXPECT_EQ(VoButtonTextColor(VoButtonFrameNormal), 0x954A00u);
  EXPECT_EQ(VoButtonTextColor(VoButtonFrameDown), 0x954A00u);
  EXPECT_EQ(VoButtonTextColor(VoButtonFrameHot), 0x954A00u);
  EXPECT_EQ(VoButtonTextColor(VoButtonFrameDisabled), 0xEADBCCu);
  EXPECT_EQ(VoButtonTextColor(VoButtonFramePressed), 0xD5B799u);
}

TEST(VoButtonText, RectanglesKeepTheArrowSideFreeInEveryFrame) {
  const TSize size{94, 20};
  for (int frame = 0; frame < VoButtonFrameCount; ++frame) {
    const int left = frame * 94;
    // Arrow on the left: text from 24 pixels in to 2 before the frame's end.
    EXPECT_EQ(VoButtonTextRect(tbpLeft, frame, size), (TRect{left + 24, 3, left + 92, 20}));
    // Arrow on the right: text from 6 pixels in to 20 before the end.
    EXPECT_EQ(VoButtonTextRect(tbpRight, frame, size), (TRect{left + 6, 3, left + 74, 20}));
    // Each frame's text stays inside its own frame of the buffer.
    const TRect source = VoButtonFrameSource(frame, size);
    EXPECT_EQ(source, (TRect{left, 0, left + 94, 20}));
    for (auto position : {tbpLeft, tbpRight}) {
      const TRect text = VoButtonTextRect(position, frame, size);
      EXPECT_GE(text.Left, source.Left);
      EXPECT_LE(text.Right, source.Right);
    }
  }
}

TEST(VoButtonIcon, LeftHalfOnEveryFrameButTheDisabledOneCentred) {
  // A 32 x 16 strip: two 16 x 16 icons, centred in a 94 x 20 button.
  const auto copies = VoButtonIconCopies({94, 20}, {32, 16}, 94);
  const TRect left{0, 0, 16, 16};
  const TRect right{16, 0, 32, 16};
  EXPECT_EQ(copies[0], (TVoIconCopy{left, {39, 2}}));
  EXPECT_EQ(copies[1], (TVoIconCopy{right, {94 + 39, 2}}));
  EXPECT_EQ(copies[2], (TVoIconCopy{left, {188 + 39, 2}}));
  EXPECT_EQ(copies[3], (TVoIconCopy{left, {282 + 39, 2}}));
  EXPECT_EQ(copies[4], (TVoIconCopy{left, {376 + 39, 2}}));
  // An odd strip width drops the last column; a taller icon than the
  // button starts above it.
  const auto odd = VoButtonIconCopies({94, 20}, {33, 24}, 94);
  EXPECT_EQ(odd[1].Source, (TRect{16, 0, 32, 24}));
  EXPECT_EQ(odd[0].Target, (TPoint{39, -2}));
}
