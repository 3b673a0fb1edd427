#include "ui/KaTheme.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

namespace {

TColor RGB(int r, int g, int b) { return static_cast<TColor>(r | (g << 8) | (b << 16)); }

class Listener : public IThemeable {
public:
  explicit Listener(std::vector<int>* log, int id, std::function<void()> also = {})
      : Log(log), Id(id), Also(std::move(also)) {}
  void ThemeChanged() override {
    Log->push_back(Id);
    if (Also)
      Also();
  }
  std::vector<int>* Log;
  int Id;
  std::function<void()> Also;
};

class OtherTheme : public TBlueTheme {
public:
  TColor WindowColor() const override { return 0x123456; }
};

} // namespace

// The colours in the scheme's own terms, red, green and blue: a value with
// its bytes the wrong way round shows here.
TEST(BlueTheme, HoldsTheTwentyFiveColours) {
  TBlueTheme t;
  const ITheme& i = t;
  std::vector<TColor> got = {
      i.WindowColor(),     i.FocusColor(),       i.DisabledColor(),     i.ProgressColor(),
      i.Color5(),          i.CaptionColor(),     i.CaptionArrowColor(), i.FrameColor(),
      i.BorderDarkColor(), i.BorderLightColor(), i.ErrorDarkColor(),    i.ErrorLightColor(),
      i.Color13(),         i.Color14(),          i.Color15(),           i.Color16(),
      i.Color17(),         i.Color18(),          i.Color19(),           i.Color20(),
      i.Color21(),         i.Color22(),          i.Color23(),           i.Color24(),
      i.Color25()};
  std::vector<TColor> want = {
      RGB(255, 255, 255), RGB(255, 247, 198), RGB(240, 240, 240), RGB(255, 247, 198),
      RGB(0, 102, 204),   RGB(97, 154, 222),  RGB(199, 215, 242), RGB(199, 215, 242),
      RGB(97, 154, 222),  RGB(199, 215, 242), RGB(255, 0, 0),     RGB(255, 183, 183),
      RGB(97, 154, 222),  RGB(222, 223, 216), RGB(250, 248, 243), RGB(97, 154, 222),
      RGB(255, 255, 255), RGB(255, 247, 198), RGB(0, 0, 0),       RGB(199, 215, 242),
      RGB(199, 215, 242), RGB(199, 215, 242), RGB(199, 215, 242), RGB(0, 102, 204),
      RGB(199, 215, 242)};
  EXPECT_EQ(got, want);
}

TEST(ThemeManager, MakesTheBlueThemeOnceAndReplacesNoneByANewOne) {
  TThemeManager manager;
  IThemePtr first = manager.GetTheme();
  ASSERT_TRUE(std::dynamic_pointer_cast<TBlueTheme>(first));
  EXPECT_EQ(manager.GetTheme(), first);

  auto other = std::make_shared<OtherTheme>();
  manager.SetTheme(other);
  EXPECT_EQ(manager.GetTheme()->WindowColor(), 0x123456u);

  manager.SetTheme(nullptr);
  IThemePtr fresh = manager.GetTheme();
  EXPECT_TRUE(std::dynamic_pointer_cast<TBlueTheme>(fresh));
  EXPECT_FALSE(std::dynamic_pointer_cast<OtherTheme>(fresh));
  EXPECT_NE(fresh, first);
}

TEST(ThemeManager, TellsListenersInOrderAndReportsIndices) {
  TThemeManager manager;
  std::vector<int> log;
  Listener a(&log, 1), b(&log, 2), c(&log, 3);
  EXPECT_EQ(manager.AddListener(&a), 0);
  EXPECT_EQ(manager.AddListener(&b), 1);
  EXPECT_EQ(manager.AddListener(&c), 2);
  manager.SetTheme(nullptr);
  EXPECT_EQ(log, (std::vector<int>{1, 2, 3}));

  EXPECT_EQ(manager.RemoveListener(&b), 1);
  EXPECT_EQ(manager.RemoveListener(&b), -1);
  log.clear();
  manager.SetTheme(nullptr);
  EXPECT_EQ(log, (std::vector<int>{1, 3}));
}

TEST(ThemeManager, ARaisingListenerEndsTheRound) {
  TThemeManager manager;
  std::vector<int> log;
  Listener a(&log, 1, [] { throw std::runtime_error("boom"); });
  Listener b(&log, 2);
  manager.AddListener(&a);
  manager.AddListener(&b);
  auto mine = std::make_shared<OtherTheme>();
  EXPECT_THROW(manager.SetTheme(mine), std::runtime_error);
  EXPECT_EQ(log, (std::vector<int>{1}));
  EXPECT_EQ(manager.GetTheme(), mine); // stored before anybody was told
}

TEST(ThemeManager, AListenerRemovedDuringTheRoundIsNotTold) {
  TThemeManager manager;
  std::vector<int> log;
  Listener c(&log, 3);
  Listener a(&log, 1, [&] { manager.RemoveListener(&c); });
  manager.AddListener(&a);
  manager.AddListener(&c);
  manager.SetTheme(nullptr);
  EXPECT_EQ(log, (std::vector<int>{1}));
}

TEST(ThemeManager, OneForTheProcess) {
  EXPECT_EQ(ThemeManager(), ThemeManager());
  EXPECT_EQ(CurrentTheme(), ThemeManager()->GetTheme());
}
