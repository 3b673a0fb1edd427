#include "ui/VoIntegerEdit_win.h"

#include "ui/testing/KaUiTesting_win.h"

#include <gtest/gtest.h>

namespace {

// An integer edit on a test form, and an edit to take the focus away.
class VoIntegerEditTest : public ::testing::Test {
protected:
  TTestForm Form;
  TVoIntegerEdit Port{&Form};
  TVoEdit Other{&Form};

  void SetUp() override {
    Port.SetBounds(10, 10, 73, 21);
    Other.SetBounds(10, 50, 120, 21);
    Form.HandleNeeded();
    PumpMessages();
  }

  // Focuses the field with all of its text selected, then types.
  void TypeOver(std::u16string_view keys) {
    Port.SetFocus();
    PumpMessages();
    Port.SelectAll();
    TypeKeys(keys);
  }

  void Leave() {
    Other.SetFocus();
    PumpMessages();
  }
};

} // namespace

TEST_F(VoIntegerEditTest, StartsAtZeroAndWritesItsValueIntoRange) {
  EXPECT_EQ(Port.Text(), u"0");
  EXPECT_EQ(Port.Value(), 0);
  Port.SetValue(8080);
  EXPECT_EQ(Port.Text(), u"8080");
  Port.SetText(u"");
  EXPECT_EQ(Port.Value(), 0);
  Port.SetText(u"80a");
  EXPECT_EQ(Port.Value(), 0);

  Port.SetHasMaxValue(true);
  Port.SetMaxValue(100);
  Port.SetValue(150);
  EXPECT_EQ(Port.Text(), u"100");
  Port.SetHasMinValue(true);
  Port.SetMinValue(10);
  Port.SetValue(-5);
  EXPECT_EQ(Port.Text(), u"10");
  // A maximum below the current value brings it down at once.
  Port.SetValue(90);
  Port.SetMaxValue(50);
  EXPECT_EQ(Port.Value(), 50);
  // When the bounds cross, the minimum wins.
  Port.SetMaxValue(5);
  EXPECT_EQ(Port.Value(), 10);
}

TEST_F(VoIntegerEditTest, TypingRefusesWhatWouldLeaveTheRange) {
  // No bounds: a leading minus and digits.
  TypeOver(u"-12");
  EXPECT_EQ(Port.Text(), u"-12");
  // A second minus, and one that is not at the start, are refused.
  TypeKeys(u"-");
  EXPECT_EQ(Port.Text(), u"-12");
  Port.SetSelection(0, 0);
  TypeKeys(u"-");
  EXPECT_EQ(Port.Text(), u"-12");
  // Letters never.
  TypeOver(u"4a2");
  EXPECT_EQ(Port.Text(), u"42");

  Port.SetHasMinValue(true);
  Port.SetMinValue(0);
  TypeOver(u"-");
  EXPECT_EQ(Port.Text(), u"42");
  TypeOver(u"7");
  EXPECT_EQ(Port.Text(), u"7");

  Port.SetHasMaxValue(true);
  Port.SetMaxValue(100);
  TypeOver(u"150");
  EXPECT_EQ(Port.Text(), u"15");
  TypeKeys(u"\b");
  TypeKeys(u"00");
  EXPECT_EQ(Port.Text(), u"100");
}

TEST_F(VoIntegerEditTest, NoLeadingZeros) {
  TypeOver(u"00");
  EXPECT_EQ(Port.Text(), u"0");
  TypeOver(u"-0");
  EXPECT_EQ(Port.Text(), u"-");
  TypeKeys(u"5");
  EXPECT_EQ(Port.Text(), u"-5");
}

TEST_F(VoIntegerEditTest, ANewMinimumWaitsUntilTheFieldIsLeft) {
  Port.SetValue(5);
  Port.SetHasMinValue(true);
  Port.SetMinValue(10);
  EXPECT_EQ(Port.Value(), 5);
  Port.SetFocus();
  PumpMessages();
  EXPECT_EQ(Port.Value(), 5);
  Leave();
  EXPECT_EQ(Port.Text(), u"10");
}

TEST_F(VoIntegerEditTest, LeavingWritesTheTextAsItsValue) {
  // A half-typed number, and text that came in by the clipboard.
  TypeOver(u"-");
  EXPECT_EQ(Port.Text(), u"-");
  Leave();
  EXPECT_EQ(Port.Text(), u"0");
  Port.SetText(u"0042");
  Port.SetFocus();
  Leave();
  EXPECT_EQ(Port.Text(), u"42");
  Port.SetText(u"port");
  Port.SetFocus();
  Leave();
  EXPECT_EQ(Port.Text(), u"0");
}
