#include "base/KaText.h"

#include <gtest/gtest.h>

TEST(Text, Utf8AndUtf16RoundTrip) {
  std::string utf8 = "W\xC3\xA4hlen Sie \xE2\x82\xAC \xF0\x9F\x98\x80";
  std::u16string wide = Utf8ToWide(utf8);
  EXPECT_EQ(wide, u"W\u00e4hlen Sie \u20ac \U0001F600");
  EXPECT_EQ(WideToUtf8(wide), utf8);
  EXPECT_EQ(Utf8ToWide("\xC3"), u"\uFFFD");
  EXPECT_EQ(FromWide(ToWide("plain ascii")), "plain ascii");
}
