#include "ui/VoPanel_win.h"

#include "ui/testing/KaUiTesting_win.h"

#include <gtest/gtest.h>

namespace {

// A layout client that counts the moves it hears of.
class MoveWatch : public ILayoutClient {
public:
  ILayoutControl* Watched = nullptr;
  int Moves = 0;
  void Reposition(ILayoutControl* moved) override { Moves += moved == Watched; }
  void FollowEnabled(ILayoutControl*) override {}
  void ControlDestroyed(ILayoutControl*) override {}

private:
  TScopedRegistration<ILayoutManager, ILayoutClient> FLayout{this, LayoutManager()};
};

class Child : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
};

} // namespace

TEST(VoPanel, DefaultsAndTheDarkRectangleWithItsLightLine) {
  TTestForm form;
  TVoPanel panel(&form);
  const IThemePtr theme = CurrentTheme();
  EXPECT_EQ(panel.Width(), 185);
  EXPECT_EQ(panel.Height(), 41);
  EXPECT_EQ(panel.BorderStyle(), 1);
  EXPECT_EQ(panel.Borders(), TVoPanelBorders::All());
  EXPECT_EQ(panel.BorderColor(), theme->BorderDarkColor());
  EXPECT_EQ(panel.Color(), theme->WindowColor());

  panel.SetBounds(0, 0, 40, 30);
  const TBitmap shown = RenderControl(panel);
  const TColor dark = theme->BorderDarkColor(), light = theme->BorderLightColor();
  EXPECT_EQ(shown.Pixel(0, 0), dark);
  EXPECT_EQ(shown.Pixel(38, 0), dark);
  EXPECT_EQ(shown.Pixel(38, 28), dark);
  EXPECT_EQ(shown.Pixel(0, 28), dark);
  EXPECT_EQ(shown.Pixel(39, 0), theme->WindowColor()); // the light line starts a pixel down
  EXPECT_EQ(shown.Pixel(39, 1), light);
  EXPECT_EQ(shown.Pixel(39, 28), light);
  EXPECT_EQ(shown.Pixel(39, 29), light);
  EXPECT_EQ(shown.Pixel(2, 29), light);
  EXPECT_EQ(shown.Pixel(1, 29), theme->WindowColor());
  EXPECT_EQ(shown.Pixel(1, 1), theme->WindowColor());
  EXPECT_EQ(shown.Pixel(37, 27), theme->WindowColor());
}

TEST(VoPanel, TheTwoToneFrameAndChosenSides) {
  TTestForm form;
  TVoPanel panel(&form);
  panel.SetBounds(0, 0, 40, 30);
  const IThemePtr theme = CurrentTheme();
  panel.SetBorderStyle(2);
  TBitmap shown = RenderControl(panel);
  EXPECT_EQ(shown.Pixel(0, 10), theme->BorderDarkColor());
  EXPECT_EQ(shown.Pixel(10, 0), theme->BorderDarkColor());
  EXPECT_EQ(shown.Pixel(39, 10), theme->BorderLightColor());
  EXPECT_EQ(shown.Pixel(10, 29), theme->BorderLightColor());

  panel.SetBorderStyle(3);
  panel.SetBorders({pbTop, pbRight});
  panel.SetBorderColor(0x0000FF);
  shown = RenderControl(panel);
  EXPECT_EQ(shown.Pixel(0, 0), 0x0000FFu);
  EXPECT_EQ(shown.Pixel(39, 0), 0x0000FFu);
  EXPECT_EQ(shown.Pixel(39, 29), 0x0000FFu);
  EXPECT_EQ(shown.Pixel(0, 10), theme->WindowColor());
  EXPECT_EQ(shown.Pixel(10, 29), theme->WindowColor());

  panel.SetBorderStyle(0);
  shown = RenderControl(panel);
  for (TPoint p : {TPoint{0, 0}, TPoint{39, 0}, TPoint{0, 29}, TPoint{39, 29}, TPoint{20, 15}})
    EXPECT_EQ(shown.Pixel(p.X, p.Y), theme->WindowColor()) << p.X << "," << p.Y;
}

TEST(VoPanel, AlignsItsChildrenInsideTheBorder) {
  TTestForm form;
  TVoPanel panel(&form);
  panel.SetBounds(10, 10, 100, 50);
  Child child(&panel);
  child.SetAlign(alClient);
  EXPECT_EQ(child.BoundsRect(), (TRect{1, 1, 98, 48}));
  panel.SetBorderStyle(2);
  EXPECT_EQ(child.BoundsRect(), (TRect{1, 1, 99, 49}));
  panel.SetBorderStyle(3);
  EXPECT_EQ(child.BoundsRect(), (TRect{1, 1, 99, 49}));
  panel.SetBorders({pbTop});
  EXPECT_EQ(child.BoundsRect(), (TRect{0, 1, 100, 50}));
  panel.SetBounds(10, 10, 120, 60);
  EXPECT_EQ(child.BoundsRect(), (TRect{0, 1, 120, 60}));
}

TEST(VoPanel, ReportsEveryMove) {
  TTestForm form;
  TVoPanel panel(&form);
  MoveWatch watch;
  watch.Watched = &panel;
  panel.SetBounds(20, 20, 185, 41);
  EXPECT_EQ(watch.Moves, 1);
  panel.SetWidth(100);
  EXPECT_EQ(watch.Moves, 2);
  panel.SetBounds(20, 20, 100, 41); // no change, no report
  EXPECT_EQ(watch.Moves, 2);
}
