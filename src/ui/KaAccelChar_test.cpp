#include "ui/KaAccelChar.h"

#include <gtest/gtest.h>

TEST(AccelChar, TheCharacterAfterASingleAmpersand) {
  EXPECT_EQ(AccelChar(u"&Next"), u'N');
  EXPECT_EQ(AccelChar(u"Bla&deren"), u'd');
  EXPECT_EQ(AccelChar(u"Save && quit"), 0);
  EXPECT_EQ(AccelChar(u"A&&&B"), u'B');
  EXPECT_EQ(AccelChar(u"Last&"), 0);
  EXPECT_EQ(AccelChar(u""), 0);
}

TEST(AccelChar, MatchesEitherCase) {
  EXPECT_TRUE(IsAccel(u'n', u"&Next"));
  EXPECT_TRUE(IsAccel(u'N', u"&next"));
  EXPECT_TRUE(IsAccel(u'\u00C9', u"&\u00e9t\u00e9")); // É for é
  EXPECT_FALSE(IsAccel(u'e', u"&Next"));
  EXPECT_FALSE(IsAccel(u'&', u"a && b"));
  EXPECT_FALSE(IsAccel(0, u"none"));
}

TEST(AccelChar, RemovesEveryAmpersand) {
  EXPECT_EQ(RemoveAmpersands(u"&Start && go"), u"Start  go");
}
