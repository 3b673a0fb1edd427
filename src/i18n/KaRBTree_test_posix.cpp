#include "i18n/KaRBTree.h"

#include <gtest/gtest.h>

TEST(CompareKeys, NativelyTheCodeUnitOrder) {
  EXPECT_LT(CompareKeys(u"B", u"a"), 0);
  EXPECT_LT(CompareKeys(u"Z", u"\u00C4"), 0);
  EXPECT_LT(CompareKeys(u"ab", u"abc"), 0);
  EXPECT_GT(CompareKeys(u"b", u"abc"), 0);
}
