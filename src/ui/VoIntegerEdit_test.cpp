#include "ui/VoIntegerEdit.h"

#include <gtest/gtest.h>

#include <climits>

TEST(VoIntegerEditValue, ReadsDecimalsAndFallsBackToZero) {
  EXPECT_EQ(VoIntegerEditValue(u"42"), 42);
  EXPECT_EQ(VoIntegerEditValue(u"-17"), -17);
  EXPECT_EQ(VoIntegerEditValue(u""), 0);
  EXPECT_EQ(VoIntegerEditValue(u"-"), 0);
  EXPECT_EQ(VoIntegerEditValue(u"12a"), 0);
  EXPECT_EQ(VoIntegerEditValue(u"2147483647"), INT32_MAX);
  EXPECT_EQ(VoIntegerEditValue(u"-2147483648"), INT32_MIN);
  // Beyond 32 bits is no value at all rather than a wrapped one.
  EXPECT_EQ(VoIntegerEditValue(u"2147483648"), 0);
  EXPECT_EQ(VoIntegerEditValue(u"99999999999999999999"), 0);
  // A full-width digit is not an ASCII digit.
  EXPECT_EQ(VoIntegerEditValue(u"\uFF11"), 0);
  EXPECT_EQ(VoIntegerEditText(-305), u"-305");
}

TEST(VoIntegerRange, ClampAndRangeWithEachBound) {
  TVoIntegerRange open;
  EXPECT_EQ(open.Clamp(INT32_MIN), INT32_MIN);
  EXPECT_TRUE(open.InRange(INT32_MAX));

  TVoIntegerRange r{true, true, 10, 100};
  EXPECT_EQ(r.Clamp(5), 10);
  EXPECT_EQ(r.Clamp(150), 100);
  EXPECT_EQ(r.Clamp(10), 10);
  EXPECT_EQ(r.Clamp(100), 100);
  EXPECT_FALSE(r.InRange(9));
  EXPECT_TRUE(r.InRange(10));
  EXPECT_TRUE(r.InRange(100));
  EXPECT_FALSE(r.InRange(101));

  // Only one bound set: the other side is open even with a value stored.
  TVoIntegerRange maxOnly{false, true, 50, 100};
  EXPECT_EQ(maxOnly.Clamp(-1000), -1000);
  EXPECT_TRUE(maxOnly.InRange(-1000));
  EXPECT_FALSE(maxOnly.InRange(101));

  // A maximum below the minimum: the minimum wins for values under it.
  TVoIntegerRange crossed{true, true, 20, 10};
  EXPECT_EQ(crossed.Clamp(5), 20);
  EXPECT_EQ(crossed.Clamp(15), 20);
  EXPECT_EQ(crossed.Clamp(25), 10);
  EXPECT_FALSE(crossed.InRange(15));
}

TEST(VoIntegerRange, LeavingTheFieldWritesTheClampedValue) {
  TVoIntegerRange r{true, true, 0, 100};
  EXPECT_EQ(r.LeaveText(u"150"), u"100");
  EXPECT_EQ(r.LeaveText(u"-3"), u"0");
  EXPECT_EQ(r.LeaveText(u""), u"0");
  EXPECT_EQ(r.LeaveText(u"042"), u"42");
  EXPECT_EQ(r.LeaveText(u"x"), u"0");
  TVoIntegerRange above{true, false, 5, 0};
  EXPECT_EQ(above.LeaveText(u""), u"5");
}

TEST(VoIntegerRange, TypingTakesDigitsAndMinusOnly) {
  TVoIntegerRange open;
  EXPECT_TRUE(open.Accepts(u"1", 1, 0, u'7'));
  EXPECT_FALSE(open.Accepts(u"1", 1, 0, u'a'));
  EXPECT_FALSE(open.Accepts(u"1", 1, 0, u'+'));
  EXPECT_FALSE(open.Accepts(u"1", 1, 0, u' '));
  EXPECT_FALSE(open.Accepts(u"1", 1, 0, u'.'));
  // Backspace and the clipboard keys belong to the edit.
  EXPECT_TRUE(open.Accepts(u"1", 1, 0, 8));
  EXPECT_TRUE(open.Accepts(u"1", 1, 0, 22));
}

TEST(VoIntegerRange, MinusOnlyAtTheStartOnceAndOnlyWhenNegativesAreAllowed) {
  TVoIntegerRange open;
  EXPECT_TRUE(open.Accepts(u"5", 0, 0, u'-'));
  EXPECT_TRUE(open.Accepts(u"", 0, 0, u'-'));
  EXPECT_FALSE(open.Accepts(u"5", 1, 0, u'-'));
  EXPECT_FALSE(open.Accepts(u"-5", 0, 0, u'-'));
  // Replacing a selected minus with a minus keeps a single one.
  EXPECT_TRUE(open.Accepts(u"-5", 0, 1, u'-'));
  // Selection that starts at 0 puts the caret at the start.
  EXPECT_TRUE(open.Accepts(u"75", 0, 2, u'-'));

  TVoIntegerRange nonNegative{true, false, 0, 0};
  EXPECT_FALSE(nonNegative.Accepts(u"", 0, 0, u'-'));
  EXPECT_FALSE(nonNegative.Accepts(u"5", 0, 0, u'-'));
  TVoIntegerRange positive{true, false, 1, 0};
  EXPECT_FALSE(positive.Accepts(u"5", 0, 0, u'-'));
  TVoIntegerRange negative{true, false, -10, 0};
  EXPECT_TRUE(negative.Accepts(u"5", 0, 0, u'-'));
  // "-50" would be below -10.
  EXPECT_FALSE(negative.Accepts(u"-5", 2, 0, u'0'));
  EXPECT_FALSE(negative.Accepts(u"-5", 1, 0, u'1'));
  EXPECT_TRUE(negative.Accepts(u"-", 1, 0, u'9'));
}

TEST(VoIntegerRange, NoLeadingZeroAfterZeroOrMinus) {
  TVoIntegerRange open;
  EXPECT_FALSE(open.Accepts(u"0", 1, 0, u'0'));
  EXPECT_FALSE(open.Accepts(u"0", 0, 0, u'0'));
  EXPECT_FALSE(open.Accepts(u"-", 1, 0, u'0'));
  EXPECT_FALSE(open.Accepts(u"-5", 1, 0, u'0'));
  // Replacing the selection: "0" over "0" is still a single zero.
  EXPECT_TRUE(open.Accepts(u"0", 0, 1, u'0'));
  EXPECT_TRUE(open.Accepts(u"1", 1, 0, u'0'));
  EXPECT_TRUE(open.Accepts(u"-1", 2, 0, u'0'));
  EXPECT_TRUE(open.Accepts(u"", 0, 0, u'0'));
  // A zero at the start of a number is only refused when it doubles.
  EXPECT_TRUE(open.Accepts(u"5", 0, 0, u'0'));
}

TEST(VoIntegerRange, KeysThatWouldLeaveTheRangeAreRefused) {
  TVoIntegerRange percent{true, true, 0, 100};
  EXPECT_TRUE(percent.Accepts(u"10", 2, 0, u'0'));
  EXPECT_FALSE(percent.Accepts(u"15", 2, 0, u'0'));
  EXPECT_FALSE(percent.Accepts(u"100", 3, 0, u'0'));
  // Typing over a selection judges the result, not the key.
  EXPECT_TRUE(percent.Accepts(u"150", 1, 2, u'9'));
  EXPECT_FALSE(percent.Accepts(u"15", 0, 0, u'2'));

  // The empty candidate and a lone minus count as 0.
  TVoIntegerRange atLeastFive{true, false, 5, 0};
  EXPECT_FALSE(atLeastFive.Accepts(u"", 0, 0, u'3'));
  EXPECT_TRUE(atLeastFive.Accepts(u"", 0, 0, u'7'));
}

TEST(VoIntegerRange, CaretAndSelectionOutsideTheTextAreHeldToIt) {
  TVoIntegerRange open;
  EXPECT_TRUE(open.Accepts(u"12", 99, 5, u'3'));
  EXPECT_TRUE(open.Accepts(u"12", -4, 0, u'-'));
  EXPECT_TRUE(open.Accepts(u"12", 1, 99, u'5'));
}
