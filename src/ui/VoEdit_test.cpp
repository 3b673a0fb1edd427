#include "ui/VoEdit.h"

#include <gtest/gtest.h>

TEST(VoEditFilter, TypedKeysPassOnlyWhenTheFilterHoldsThem) {
  // No filter: everything printable, and the control characters.
  EXPECT_TRUE(VoEditKeepsKey(u"", u'x'));
  EXPECT_TRUE(VoEditKeepsKey(u"", u'\b'));
  EXPECT_TRUE(VoEditKeepsKey(u"", u'\x16')); // Ctrl+V

  EXPECT_TRUE(VoEditKeepsKey(u"0123456789.", u'7'));
  EXPECT_TRUE(VoEditKeepsKey(u"0123456789.", u'.'));
  EXPECT_FALSE(VoEditKeepsKey(u"0123456789.", u'a'));
  EXPECT_FALSE(VoEditKeepsKey(u"0123456789.", u' '));
  // Control characters are the field's own business, filter or not.
  EXPECT_TRUE(VoEditKeepsKey(u"0123456789.", u'\b'));
  EXPECT_TRUE(VoEditKeepsKey(u"0123456789.", u'\x03')); // Ctrl+C
  // Characters beyond ASCII are compared as they are.
  EXPECT_TRUE(VoEditKeepsKey(u"\u00e4\u00f6", u'\u00f6'));
  EXPECT_FALSE(VoEditKeepsKey(u"\u00e4\u00f6", u'\u00d6'));
}

TEST(VoEditFilter, EnterIsSwallowedWithOrWithoutFilter) {
  EXPECT_FALSE(VoEditKeepsKey(u"", u'\r'));
  EXPECT_FALSE(VoEditKeepsKey(u"\r\n", u'\r'));
  // Ctrl+Enter types a line feed, which is a control character like any other.
  EXPECT_TRUE(VoEditKeepsKey(u"", u'\n'));
}

TEST(VoEditFilter, LeavingKeepsOnlyFilteredCharactersInOrder) {
  EXPECT_EQ(VoEditFiltered(u"", u"any text 1"), u"any text 1");
  EXPECT_EQ(VoEditFiltered(u"0123456789", u"8a0-8b0"), u"8080");
  EXPECT_EQ(VoEditFiltered(u"0123456789", u"proxy"), u"");
  EXPECT_EQ(VoEditFiltered(u"ab", u""), u"");
  // Pasted text may carry a line end; the filter takes it out with the rest.
  EXPECT_EQ(VoEditFiltered(u"abc.", u"a.b\r\nc"), u"a.bc");
}
