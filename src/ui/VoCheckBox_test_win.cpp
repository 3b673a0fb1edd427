#include "ui/VoCheckBox_win.h"

#include "ui/Font_win.h"
#include "ui/KaDrawing_win.h"
#include "ui/testing/KaLayoutRecorder.h"
#include "ui/testing/KaTestTheme.h"
#include "ui/testing/KaUiTesting_win.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const TDistinctTheme Theme;

// A check box on a test form in the distinct theme, and a second one to take
// the focus away.
class VoCheckBoxTest : public ::testing::Test {
protected:
  TThemeScope Scope{std::make_shared<TDistinctTheme>()};
  TTestForm Form;
  TVoCheckBox Box{&Form};
  TVoCheckBox Other{&Form};
  int Changes = 0;
  int Clicks = 0;

  void SetUp() override {
    Box.SetBounds(10, 10, 121, 17);
    Box.SetCaption(u"&Start the program");
    Box.OnChange = [this](TComponent&) { ++Changes; };
    Box.OnClick = [this](TComponent&) { ++Clicks; };
    Other.SetBounds(10, 40, 121, 17);
    Other.SetCaption(u"Other");
    Form.HandleNeeded();
    PumpMessages();
  }

  // Whether any pixel of the rectangle has the colour.
  static bool Shows(const TBitmap& b, TRect r, TColor color) {
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        if (b.Pixel(x, y) == color)
          return true;
    return false;
  }
};

// The seven strokes of the tick, each three pixels; the pixel below each
// stroke is not drawn.
void ExpectMark(const TBitmap& b, TColor mark, TColor fill) {
  const int strokes[7][2] = {{3, 7}, {4, 8}, {5, 9}, {6, 8}, {7, 7}, {8, 6}, {9, 5}};
  for (const auto& s : strokes) {
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(b.Pixel(s[0], s[1] + i), mark) << s[0] << "," << s[1] + i;
    EXPECT_EQ(b.Pixel(s[0], s[1] + 3), fill) << s[0] << "," << s[1] + 3;
  }
  EXPECT_EQ(b.Pixel(10, 6), fill);
  EXPECT_EQ(b.Pixel(2, 8), fill);
}

} // namespace

TEST_F(VoCheckBoxTest, TheBoxItsFillAndTheCheckMarkInEveryState) {
  TBitmap b = RenderControl(Box);
  EXPECT_EQ(b.Pixel(0, 8), Theme.BorderDarkColor());
  EXPECT_EQ(b.Pixel(6, 2), Theme.BorderDarkColor());
  EXPECT_EQ(b.Pixel(12, 8), Theme.BorderLightColor());
  EXPECT_EQ(b.Pixel(6, 14), Theme.BorderLightColor());
  EXPECT_EQ(b.Pixel(1, 3), 0xFFFFFFu);
  EXPECT_EQ(b.Pixel(11, 13), 0xFFFFFFu);
  // Unchecked: no mark at all.
  EXPECT_FALSE(Shows(b, {1, 3, 12, 14}, 0x000000));

  Box.SetChecked(true);
  ExpectMark(RenderControl(Box), 0x000000, 0xFFFFFF);

  Box.SetFocus();
  PumpMessages();
  ExpectMark(RenderControl(Box), 0x000000, Theme.FocusColor());

  Box.SetEnabled(false);
  b = RenderControl(Box);
  ExpectMark(b, Theme.BorderLightColor(), Theme.WindowColor());
  EXPECT_EQ(b.Pixel(0, 8), Theme.BorderLightColor());
}

TEST_F(VoCheckBoxTest, ACaptionBesideTheBoxEngravedWhenDisabled) {
  const TRect caption{16, 1, 120, 16};
  TBitmap b = RenderControl(Box);
  EXPECT_TRUE(Shows(b, caption, 0x000000));
  // Nothing is drawn right of the text, whose background is the form's.
  EXPECT_EQ(b.Pixel(119, 8), 0xFFFFFFu);

  Box.SetEnabled(false);
  b = RenderControl(Box, 0xFF00FF);
  EXPECT_FALSE(Shows(b, caption, 0x000000));
  EXPECT_TRUE(Shows(b, caption, GetSysColor(COLOR_BTNSHADOW)));
  // The highlight shows one pixel below and right of the shadow.
  bool offset = false;
  for (int y = 1; y < 15 && !offset; ++y)
    for (int x = 16; x < 119 && !offset; ++x)
      offset = b.Pixel(x, y) == GetSysColor(COLOR_BTNSHADOW) &&
               b.Pixel(x + 1, y + 1) == GetSysColor(COLOR_BTNHIGHLIGHT);
  EXPECT_TRUE(offset);
}

TEST_F(VoCheckBoxTest, TheFocusRectangleHugsTheTranslatedCaption) {
  UseLanguage("xa", {{u"start", u"Begin"}});
  Box.SetCaption(u"$(start)");
  Box.SetFocus();
  PumpMessages();

  // The width of the translation in the control's font.
  auto textWidth = [&](const std::u16string& text) {
    TBitmap probe(1, 1);
    SelectObject(probe.DC(), FontHandle(Box.Font()));
    return TextExtent(probe.DC(), text).Width;
  };
  // The last column of the focus rectangle's top edge that is drawn.
  auto focusRight = [&] {
    TBitmap b = RenderControl(Box);
    int last = -1;
    for (int x = 13; x < Box.Width(); ++x)
      if (b.Pixel(x, 1) != 0xFFFFFF)
        last = x;
    return last;
  };
  const int shortRight = focusRight();
  EXPECT_GE(shortRight, textWidth(u"Begin") + 16);
  EXPECT_LE(shortRight, textWidth(u"Begin") + 17);

  // A new language repaints the caption at once.
  Box.Update();
  UseLanguage("xb", {{u"start", u"Start it now"}});
  RECT dirty;
  EXPECT_TRUE(GetUpdateRect(Box.Handle(), &dirty, FALSE));
  EXPECT_GE(focusRight(), textWidth(u"Start it now") + 16);

  Other.SetFocus();
  PumpMessages();
  EXPECT_EQ(focusRight(), -1);
}

TEST_F(VoCheckBoxTest, AClickTogglesFiresAndTakesTheFocus) {
  Click(Box);
  EXPECT_TRUE(Box.Checked());
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Clicks, 1);
  EXPECT_TRUE(Box.Focused());
  ClickAt(Box, 5, 8);
  EXPECT_FALSE(Box.Checked());
  EXPECT_EQ(Changes, 2);

  // Without a tab stop the box toggles but leaves the focus where it is.
  Other.SetTabStop(false);
  Click(Other);
  EXPECT_TRUE(Other.Checked());
  EXPECT_TRUE(Box.Focused());

  // Set by the program, a change fires too; the same value does not.
  Box.SetChecked(true);
  Box.SetChecked(true);
  EXPECT_EQ(Changes, 3);
  EXPECT_EQ(Clicks, 2);
}

TEST_F(VoCheckBoxTest, SpaceAndTheAcceleratorClick) {
  Box.SetFocus();
  PressKey(VK_SPACE);
  EXPECT_TRUE(Box.Checked());
  PressKey(VK_SPACE);
  EXPECT_FALSE(Box.Checked());
  EXPECT_EQ(Clicks, 2);

  Other.SetFocus();
  PumpMessages();
  PressAltChar(u's');
  EXPECT_TRUE(Box.Checked());
  EXPECT_TRUE(Box.Focused());

  // The accelerator is the translation's.
  UseLanguage("xc", {{u"start", u"&Begin"}});
  Box.SetCaption(u"$(start)");
  PressAltChar(u's');
  EXPECT_TRUE(Box.Checked());
  PressAltChar(u'b');
  EXPECT_FALSE(Box.Checked());

  Box.SetEnabled(false);
  PressAltChar(u'b');
  EXPECT_FALSE(Box.Checked());
}

TEST_F(VoCheckBoxTest, MovesAndEnabledChangesAreReported) {
  TLayoutRecorder layout;
  Box.SetBounds(144, 264, 121, 17);
  Box.SetEnabled(false);
  EXPECT_EQ(layout.Count("moved", &Box), 1);
  EXPECT_EQ(layout.Count("enabled", &Box), 1);
  // The box is a client too, one that does not move when others do.
  Other.SetTop(90);
  EXPECT_EQ(Box.BoundsRect(), Bounds(144, 264, 121, 17));
}
