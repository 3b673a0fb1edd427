#include "ui/VoEdit_win.h"

#include "ui/testing/KaLayoutRecorder.h"
#include "ui/testing/KaTestTheme.h"
#include "ui/testing/KaUiTesting_win.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const TDistinctTheme Theme;

// An edit of 120 x 21 on a test form in the distinct theme, and a second
// one to take the focus away.
class VoEditTest : public ::testing::Test {
protected:
  TThemeScope Scope{std::make_shared<TDistinctTheme>()};
  TTestForm Form;
  TVoEdit Edit{&Form};
  TVoEdit Other{&Form};

  void SetUp() override {
    Edit.SetBounds(10, 10, 120, 21);
    Other.SetBounds(10, 50, 120, 21);
    Form.HandleNeeded();
    PumpMessages();
  }

  // The frame line on all four sides, the three rings inside it and the
  // empty right part of the text area.
  void ExpectFrame(const TBitmap& b, TColor topLeft, TColor bottomRight, TColor field) {
    EXPECT_EQ(b.Pixel(0, 10), topLeft);
    EXPECT_EQ(b.Pixel(60, 0), topLeft);
    EXPECT_EQ(b.Pixel(119, 10), bottomRight);
    EXPECT_EQ(b.Pixel(60, 20), bottomRight);
    for (int i = 1; i <= 3; ++i) {
      EXPECT_EQ(b.Pixel(i, 10), field) << "ring " << i;
      EXPECT_EQ(b.Pixel(60, i), field) << "ring " << i;
      EXPECT_EQ(b.Pixel(119 - i, 10), field) << "ring " << i;
      EXPECT_EQ(b.Pixel(60, 20 - i), field) << "ring " << i;
    }
    EXPECT_EQ(b.Pixel(110, 10), field);
  }
};

} // namespace

TEST_F(VoEditTest, AFlatFieldFramedInTheThemeWithItsTextFourPixelsIn) {
  EXPECT_EQ(TVoEdit(&Form).Height(), 21);
  RECT client;
  GetClientRect(Edit.Handle(), &client);
  EXPECT_EQ(client.right, 112);
  EXPECT_EQ(client.bottom, 13);
  POINT origin{0, 0};
  ClientToScreen(Edit.Handle(), &origin);
  TPoint edge = Edit.ClientToScreen({0, 0});
  EXPECT_EQ(origin.x, edge.X);
  EXPECT_EQ(GetWindowLongW(Edit.Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);

  ExpectFrame(CaptureWindow(Edit), Theme.BorderDarkColor(), Theme.BorderLightColor(),
              Theme.WindowColor());

  // A required field shows the error colours whatever its state.
  Edit.SetRequired(true);
  ExpectFrame(CaptureWindow(Edit), Theme.ErrorDarkColor(), Theme.ErrorLightColor(),
              Theme.WindowColor());
  Edit.SetEnabled(false);
  ExpectFrame(CaptureWindow(Edit), Theme.ErrorLightColor(), Theme.ErrorLightColor(),
              Theme.DisabledColor());
}

TEST_F(VoEditTest, FocusAndEnabledStateColourTheFieldAndItsFrame) {
  Edit.SetFocus();
  PumpMessages();
  EXPECT_EQ(Edit.Color(), Theme.FocusColor());
  ExpectFrame(CaptureWindow(Edit), Theme.BorderDarkColor(), Theme.BorderLightColor(),
              Theme.FocusColor());

  Other.SetFocus();
  PumpMessages();
  EXPECT_EQ(Edit.Color(), Theme.WindowColor());
  EXPECT_EQ(Other.Color(), Theme.FocusColor());
  ExpectFrame(CaptureWindow(Edit), Theme.BorderDarkColor(), Theme.BorderLightColor(),
              Theme.WindowColor());

  Edit.SetEnabled(false);
  EXPECT_EQ(Edit.Color(), Theme.DisabledColor());
  // Disabled, the dark side of the frame turns light too.
  ExpectFrame(CaptureWindow(Edit), Theme.BorderLightColor(), Theme.BorderLightColor(),
              Theme.DisabledColor());
  Edit.SetEnabled(true);
  ExpectFrame(CaptureWindow(Edit), Theme.BorderDarkColor(), Theme.BorderLightColor(),
              Theme.WindowColor());
}

TEST(VoEdit, AChangeOfThemeRecoloursTheField) {
  TTestForm form;
  TVoEdit edit(&form), disabled(&form);
  disabled.SetTop(40);
  disabled.SetEnabled(false);
  EXPECT_EQ(edit.Color(), 0xFFFFFFu);
  {
    TThemeScope scope(std::make_shared<TDistinctTheme>());
    EXPECT_EQ(edit.Color(), Theme.WindowColor());
    EXPECT_EQ(disabled.Color(), Theme.DisabledColor());
    EXPECT_EQ(CaptureWindow(edit).Pixel(2, 10), Theme.WindowColor());
  }
  EXPECT_EQ(edit.Color(), 0xFFFFFFu);
}

TEST_F(VoEditTest, TheFilterDropsTypedCharactersAndCleansTheTextOnLeaving) {
  Edit.SetFilter("0123456789.");
  std::u16string seen;
  Edit.OnKeyPress = [&](TComponent&, char16_t& key) { seen += key; };
  Edit.SetFocus();
  TypeKeys(u"1a2.b3");
  EXPECT_EQ(Edit.Text(), u"12.3");
  EXPECT_EQ(seen, u"12.3");

  // What the program or the clipboard put there is cleaned on leaving.
  Edit.SetText(u"x9 y8");
  EXPECT_EQ(Edit.Text(), u"x9 y8");
  Other.SetFocus();
  PumpMessages();
  EXPECT_EQ(Edit.Text(), u"98");

  // Without a filter everything stays.
  Other.SetText(u"x9 y8");
  Edit.SetFocus();
  PumpMessages();
  EXPECT_EQ(Other.Text(), u"x9 y8");
}

TEST_F(VoEditTest, EnterNeverReachesTheField) {
  std::u16string seen;
  Edit.OnKeyPress = [&](TComponent&, char16_t& key) { seen += key; };
  Edit.SetFocus();
  TypeKeys(u"ab");
  PressKey(VK_RETURN);
  TypeKeys(u"c");
  EXPECT_EQ(seen, u"abc");
  EXPECT_EQ(Edit.Text(), u"abc");
}

TEST_F(VoEditTest, MovesAndEnabledChangesAreReportedToTheLayout) {
  TLayoutRecorder layout;
  Edit.SetBounds(20, 30, 120, 21);
  Edit.SetLeft(20); // no change, nothing to tell
  ASSERT_EQ(layout.Count("moved", &Edit), 1);
  EXPECT_EQ(layout.Calls.back().Bounds, Bounds(20, 30, 120, 21));

  Edit.SetEnabled(false);
  ASSERT_EQ(layout.Count("enabled", &Edit), 1);
  EXPECT_FALSE(layout.Calls.back().Enabled);
  Edit.SetEnabled(false);
  EXPECT_EQ(layout.Count("enabled", &Edit), 1);
  EXPECT_EQ(layout.Count("moved", &Other), 0);
}
