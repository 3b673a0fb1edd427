#include "ui/VoFormModifier.h"

#include "ui/testing/VoGeometryPrinters.h"

#include <gtest/gtest.h>

namespace {

// The wizard's window: a 499 x 360 client inside the frame.
constexpr TSize Wizard{505, 385};

TVoCaptionButtons PlacedButtons(int width, bool minMaxVisible = true) {
  TVoCaptionButtons b;
  b.SetStripSize({90, 18});
  b[cbMinimize].Visible = minMaxVisible;
  b[cbMaximize].Visible = minMaxVisible;
  b.Place(width);
  return b;
}

} // namespace

TEST(VoFrameGeometry, InsetsClientRectAndPointerShift) {
  EXPECT_EQ(VoFrameInsets(true), (TVoFrameInsets{3, 22, 3, 3}));
  EXPECT_EQ(VoFrameInsets(false), (TVoFrameInsets{3, 3, 3, 3}));
  EXPECT_EQ(VoFrameClientRect({100, 50, 605, 435}, true), (TRect{103, 72, 602, 432}));
  EXPECT_EQ(VoFrameClientRect({100, 50, 605, 435}, true).Width(), 499);
  EXPECT_EQ(VoFrameClientRect({100, 50, 605, 435}, true).Height(), 360);
  EXPECT_EQ(VoFrameClientRect({0, 0, 100, 100}, false), (TRect{3, 3, 97, 97}));
  EXPECT_EQ(VoFramePointerShift(true), (TPoint{3, 22}));
  EXPECT_EQ(VoFramePointerShift(false), (TPoint{3, 3}));
}

TEST(VoFrameGeometry, ThreeLinesAndTheCaptionBar) {
  const auto lines = VoFrameLines({200, 100});
  EXPECT_EQ(lines[0], (TRect{0, 0, 200, 100}));
  EXPECT_EQ(lines[1], (TRect{1, 1, 199, 99}));
  EXPECT_EQ(lines[2], (TRect{2, 2, 198, 98}));
  // The bar fills the non-client top between the lines and the client.
  EXPECT_EQ(VoCaptionBar({200, 100}), (TRect{2, 2, 198, 22}));
  EXPECT_EQ(VoCaptionBar({200, 100}).Bottom, VoFrameInsets(true).Top);
}

TEST(VoCaptionButtons, PlacedFromTheRightOnePixelApart) {
  const TVoCaptionButtons b = PlacedButtons(Wizard.Width);
  EXPECT_EQ(b[cbClose].Bounds(), (TRect{484, 3, 502, 21}));
  EXPECT_EQ(b[cbMaximize].Bounds(), (TRect{465, 3, 483, 21}));
  EXPECT_EQ(b[cbMinimize].Bounds(), (TRect{446, 3, 464, 21}));
  // Without minimize and maximize the close button is still at W - 21.
  const TVoCaptionButtons closeOnly = PlacedButtons(400, false);
  EXPECT_EQ(closeOnly[cbClose].Left, 400 - 21);
  EXPECT_EQ(closeOnly[cbMinimize].Left, 400 - 59);
}

TEST(VoCaptionButtons, FrameChoice) {
  TVoCaptionButton b;
  EXPECT_EQ(b.Frame(), 0);
  b.Hot = true;
  EXPECT_EQ(b.Frame(), 4);
  b.Pressed = true;
  EXPECT_EQ(b.Frame(), 2);
  // Held down but the pointer moved off: shown normal until it returns.
  b.Hot = false;
  EXPECT_EQ(b.Frame(), 0);
  b.Hot = true;
  b.Enabled = false;
  EXPECT_EQ(b.Frame(), 1);
}

TEST(VoCaptionButtons, HoverPressAndRelease) {
  TVoCaptionButtons b = PlacedButtons(Wizard.Width);
  const TPoint onClose{490, 10};
  const TPoint onMax{470, 10};
  const TPoint onCaption{100, 10};

  EXPECT_TRUE(b.Hover(onClose));
  EXPECT_TRUE(b[cbClose].Hot);
  EXPECT_FALSE(b.Hover(onClose)); // nothing changed, no repaint
  EXPECT_TRUE(b.Hover(onMax));
  EXPECT_FALSE(b[cbClose].Hot);
  EXPECT_TRUE(b[cbMaximize].Hot);

  EXPECT_FALSE(b.Press(onCaption));
  EXPECT_TRUE(b.Press(onClose));
  EXPECT_TRUE(b[cbClose].Pressed);
  auto released = b.Release(onClose);
  EXPECT_TRUE(released.Repaint);
  EXPECT_EQ(released.Clicked, cbClose);
  EXPECT_FALSE(b[cbClose].Pressed);
}

TEST(VoCaptionButtons, PressOnCloseReleasedElsewhereClosesNothing) {
  TVoCaptionButtons b = PlacedButtons(Wizard.Width);
  EXPECT_TRUE(b.Press({490, 10}));
  auto released = b.Release({100, 10});
  EXPECT_FALSE(released.Clicked.has_value());
  EXPECT_TRUE(released.Repaint);
  // Let go for good: coming back and releasing again is no click either.
  EXPECT_FALSE(b[cbClose].Pressed);
  EXPECT_FALSE(b.Release({490, 10}).Clicked.has_value());
  // A press on maximize that slides over close clicks neither.
  b.Press({470, 10});
  EXPECT_FALSE(b.Release({490, 10}).Clicked.has_value());
}

TEST(VoCaptionButtons, DisabledOrHiddenButtonsIgnoreThePointer) {
  TVoCaptionButtons b = PlacedButtons(Wizard.Width);
  b[cbClose].Enabled = false;
  EXPECT_FALSE(b.Hover({490, 10}));
  EXPECT_FALSE(b.Press({490, 10}));
  EXPECT_FALSE(b.Release({490, 10}).Clicked.has_value());
  EXPECT_EQ(b[cbClose].Frame(), 1);
  b[cbMinimize].Visible = false;
  EXPECT_FALSE(b.Press({450, 10}));
}

TEST(VoFrameHitTest, CaptionStripDragsExceptOverButtonsAndTheLanguageBox) {
  const TVoCaptionButtons buttons = PlacedButtons(Wizard.Width, false);
  TVoFrameHitArea area{Wizard, true, false, &buttons, TRect{400, 3, 440, 21}};
  EXPECT_EQ(VoFrameHitTest(area, {100, 10}), TVoFrameHit::Caption);
  EXPECT_EQ(VoFrameHitTest(area, {2, 2}), TVoFrameHit::Caption);
  EXPECT_EQ(VoFrameHitTest(area, {502, 21}), TVoFrameHit::Caption);
  EXPECT_EQ(VoFrameHitTest(area, {490, 10}), TVoFrameHit::Menu); // close
  EXPECT_EQ(VoFrameHitTest(area, {420, 10}), TVoFrameHit::Menu); // language box
  // The hidden minimize and maximize buttons are caption to drag.
  EXPECT_EQ(VoFrameHitTest(area, {470, 10}), TVoFrameHit::Caption);
  // A disabled button is still not a place to drag from.
  TVoCaptionButtons disabled = buttons;
  disabled[cbClose].Enabled = false;
  area.Buttons = &disabled;
  EXPECT_EQ(VoFrameHitTest(area, {490, 10}), TVoFrameHit::Menu);
  // Outside the strip, with resizing off, the normal answer stays.
  EXPECT_EQ(VoFrameHitTest(area, {100, 22}), std::nullopt);
  EXPECT_EQ(VoFrameHitTest(area, {0, 0}), std::nullopt);
  EXPECT_EQ(VoFrameHitTest(area, {1, 200}), std::nullopt);
  EXPECT_EQ(VoFrameHitTest(area, {504, 384}), std::nullopt);
  area.LangBox.reset();
  EXPECT_EQ(VoFrameHitTest(area, {420, 10}), TVoFrameHit::Caption);
}

TEST(VoFrameHitTest, NoResizeZonesWithResizeDisabled) {
  TVoFrameHitArea area{{300, 200}, true, false, nullptr, std::nullopt};
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 300; ++x) {
      const auto hit = VoFrameHitTest(area, {x, y});
      if (hit) {
        ASSERT_EQ(*hit, TVoFrameHit::Caption) << x << "," << y;
      }
    }
  }
}

TEST(VoFrameHitTest, ResizeZonesLaterOnesOverride) {
  const TVoFrameHitArea area{{300, 200}, true, true, nullptr, std::nullopt};
  using enum TVoFrameHit;
  EXPECT_EQ(VoFrameHitTest(area, {0, 0}), TopLeft);
  EXPECT_EQ(VoFrameHitTest(area, {6, 1}), TopLeft);
  EXPECT_EQ(VoFrameHitTest(area, {1, 6}), TopLeft);
  EXPECT_EQ(VoFrameHitTest(area, {150, 0}), Top);
  EXPECT_EQ(VoFrameHitTest(area, {299, 0}), TopRight);
  EXPECT_EQ(VoFrameHitTest(area, {298, 6}), TopRight);
  EXPECT_EQ(VoFrameHitTest(area, {0, 100}), Left);
  EXPECT_EQ(VoFrameHitTest(area, {299, 100}), Right);
  EXPECT_EQ(VoFrameHitTest(area, {0, 199}), BottomLeft);
  EXPECT_EQ(VoFrameHitTest(area, {6, 198}), BottomLeft);
  EXPECT_EQ(VoFrameHitTest(area, {100, 199}), Bottom);
  EXPECT_EQ(VoFrameHitTest(area, {299, 199}), BottomRight);
  // The 16 x 16 grip overrides the bottom edge and reaches into the client.
  EXPECT_EQ(VoFrameHitTest(area, {290, 199}), BottomRight);
  EXPECT_EQ(VoFrameHitTest(area, {284, 184}), BottomRight);
  EXPECT_EQ(VoFrameHitTest(area, {283, 184}), std::nullopt);
  // The gap pixel between a corner and its edge is no zone.
  EXPECT_EQ(VoFrameHitTest(area, {7, 0}), std::nullopt);
  EXPECT_EQ(VoFrameHitTest(area, {0, 7}), std::nullopt);
  // The strip between the border and the caption bar is border.
  EXPECT_EQ(VoFrameHitTest(area, {150, 1}), Top);
  EXPECT_EQ(VoFrameHitTest(area, {150, 2}), Caption);
  EXPECT_EQ(VoFrameHitTest(area, {150, 100}), std::nullopt);
}

TEST(VoFrameHitTest, WithoutCaptionTheTopIsNoCaption) {
  // The client area starts at y = 3 then; it must stay clickable.
  const TVoFrameHitArea area{{300, 200}, false, false, nullptr, std::nullopt};
  EXPECT_EQ(VoFrameHitTest(area, {150, 10}), std::nullopt);
  EXPECT_EQ(VoFrameHitTest(area, {150, 2}), std::nullopt);
}

TEST(VoCaption, SplitAtEachMarkKeepingSpaces) {
  EXPECT_EQ(VoSplitCaption(u"Installer"), (std::vector<std::u16string>{u"Installer"}));
  EXPECT_EQ(VoSplitCaption(u"Setup > Options > Proxy"),
            (std::vector<std::u16string>{u"Setup ", u" Options ", u" Proxy"}));
  EXPECT_EQ(VoSplitCaption(u"a>>b"), (std::vector<std::u16string>{u"a", u"", u"b"}));
  EXPECT_EQ(VoSplitCaption(u">"), (std::vector<std::u16string>{u"", u""}));
  EXPECT_EQ(VoSplitCaption(u""), (std::vector<std::u16string>{u""}));
}

TEST(VoCaption, ThreeWordsWithTwoTrianglesBetween) {
  const auto layout = VoCaptionLayout({40, 55, 30});
  EXPECT_EQ(layout.PieceX, (std::vector<int>{8, 53, 113}));
  EXPECT_EQ(layout.TriangleX, (std::vector<int>{48, 108}));
  const auto single = VoCaptionLayout({70});
  EXPECT_EQ(single.PieceX, (std::vector<int>{8}));
  EXPECT_TRUE(single.TriangleX.empty());
  EXPECT_EQ(VoCaptionTextArea({505, 385}), (TRect{0, 5, 481, 20}));
}

TEST(VoCaption, TriangleIsFiveColumnsNarrowingToAPoint) {
  const auto t = VoCaptionTriangle(48);
  EXPECT_EQ(t[0], (TVoLine{{48, 7}, {48, 16}}));
  EXPECT_EQ(t[1], (TVoLine{{49, 8}, {49, 15}}));
  EXPECT_EQ(t[2], (TVoLine{{50, 9}, {50, 14}}));
  EXPECT_EQ(t[3], (TVoLine{{51, 10}, {51, 13}}));
  EXPECT_EQ(t[4], (TVoLine{{52, 11}, {52, 12}}));
  // It sits inside the caption bar.
  for (const TVoLine& line : t) {
    EXPECT_TRUE(VoCaptionBar({505, 385}).Contains(line.From));
    EXPECT_TRUE(VoCaptionBar({505, 385}).Contains(line.To));
  }
}

TEST(VoLangBox, EndsLeftOfTheLeftmostVisibleButton) {
  // Close only: the box ends at W - 22.
  const TVoCaptionButtons closeOnly = PlacedButtons(400, false);
  const TVoLangBox box = VoLangBox(closeOnly, 400, 30);
  EXPECT_EQ(box.Rect, (TRect{343, 3, 378, 21}));
  EXPECT_EQ(box.Rect.Right, 400 - 22);
  EXPECT_EQ(box.Corners[0], (TPoint{343, 3}));
  EXPECT_EQ(box.Corners[1], (TPoint{343, 20}));
  EXPECT_EQ(box.Corners[2], (TPoint{377, 3}));
  EXPECT_EQ(box.Corners[3], (TPoint{377, 20}));
  EXPECT_EQ(box.TextRect, (TRect{345, 6, 376, 18}));

  const TVoCaptionButtons all = PlacedButtons(400);
  EXPECT_EQ(VoLangBox(all, 400, 30).Rect.Right, all[cbMinimize].Left - 1);

  TVoCaptionButtons none = PlacedButtons(400, false);
  none[cbClose].Visible = false;
  EXPECT_EQ(VoLangBox(none, 400, 30).Rect, (TRect{362, 3, 397, 21}));
}
