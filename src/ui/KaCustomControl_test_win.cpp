#include "ui/KaCustomControl_win.h"

#include "ui/testing/KaUiTesting_win.h"

#include <gtest/gtest.h>

namespace {

class CountingControl : public TKaCustomControl {
public:
  using TKaCustomControl::Buffer;
  using TKaCustomControl::TKaCustomControl;
  int Renders = 0;
  TSize Rendered;

protected:
  void DrawBuffer(int width, int height) override {
    ++Renders;
    Rendered = {width, height};
    if (!Buffer().Empty())
      Buffer().Fill(0x00C000);
    TKaCustomControl::DrawBuffer(width, height);
  }
};

} // namespace

TEST(KaCustomControl, AZeroSizedControlHasAnEmptyBufferUntilItGetsASize) {
  TTestForm form;
  CountingControl c(&form);
  EXPECT_TRUE(c.Buffer().Empty());
  c.SetBounds(10, 10, 0, 0);
  EXPECT_EQ(c.Renders, 0);
  EXPECT_TRUE(c.Buffer().Empty());

  c.SetBounds(10, 10, 30, 20);
  EXPECT_EQ(c.Renders, 1);
  EXPECT_EQ(c.Rendered, (TSize{30, 20}));
  EXPECT_EQ(c.Buffer().Width(), 30);
  EXPECT_EQ(c.Buffer().Height(), 20);
}

TEST(KaCustomControl, MovingWithoutResizingDoesNotRender) {
  TTestForm form;
  CountingControl c(&form);
  c.SetBounds(0, 0, 40, 20);
  ASSERT_EQ(c.Renders, 1);
  c.SetBounds(50, 60, 40, 20);
  c.SetLeft(70);
  EXPECT_EQ(c.Renders, 1);
  EXPECT_EQ(c.BoundsRect(), Bounds(70, 60, 40, 20));
  c.SetHeight(21);
  EXPECT_EQ(c.Renders, 2);
  EXPECT_EQ(c.Buffer().Height(), 21);
}

TEST(KaCustomControl, AChangeOfThemeRendersAndLeavingStopsIt) {
  TTestForm form;
  IThemeable* gone;
  {
    CountingControl c(&form);
    c.SetBounds(0, 0, 10, 10);
    ThemeManager()->SetTheme(nullptr);
    EXPECT_EQ(c.Renders, 2);
    gone = &c;
  }
  // Compared, never called: the control left the manager as it went.
  EXPECT_EQ(ThemeManager()->RemoveListener(gone), -1);
  ThemeManager()->SetTheme(nullptr);
}

TEST(KaCustomControl, PaintingCopiesTheBuffer) {
  TTestForm form;
  CountingControl c(&form);
  c.SetColor(0x0000FF);
  c.SetBounds(5, 5, 30, 20);
  TBitmap shown = RenderControl(c);
  EXPECT_EQ(shown.Pixel(0, 0), 0x00C000u);
  EXPECT_EQ(shown.Pixel(29, 19), 0x00C000u);
}

TEST(KaCustomControl, TheHintIsShownTranslated) {
  Translator()->AddLanguage("zc")->AddText(u"Tip", u"Wenk");
  Translator()->AddLanguage("zd")->AddText(u"Tip", u"Hint");
  Translator()->SetLanguage(u"zc");
  TTestForm form;
  CountingControl c(&form);
  c.SetHint(u"$(Tip)!");
  EXPECT_EQ(c.ShownHint(), u"Wenk!");
  Translator()->SetLanguage(u"zd");
  EXPECT_EQ(c.ShownHint(), u"Hint!");
  EXPECT_EQ(c.Hint(), u"$(Tip)!");
}
