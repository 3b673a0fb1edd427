#include "i18n/KaRBTree.h"

#include "base/KaText.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

int SystemCompare(std::u16string_view a, std::u16string_view b) {
  return CompareStringW(LOCALE_USER_DEFAULT, 0, reinterpret_cast<const wchar_t*>(a.data()),
                        static_cast<int>(a.size()), reinterpret_cast<const wchar_t*>(b.data()),
                        static_cast<int>(b.size()));
}

} // namespace

TEST(CompareKeys, OnWindowsTheLocaleOrder) {
  // Code units would put every capital ahead of every small letter.
  EXPECT_LT(CompareKeys(u"a", u"B"), 0);
  EXPECT_LT(CompareKeys(u"B", u"c"), 0);
  EXPECT_LT(CompareKeys(u"\u00C4", u"Z"), 0);
  EXPECT_NE(CompareKeys(u"a", u"A"), 0);
  EXPECT_EQ(CompareKeys(u"a", u"B"), SystemCompare(u"a", u"B") - CSTR_EQUAL);
}

// Texts the locale weighs the same: they stay different keys of one table.
TEST(CompareKeys, OnWindowsKeysTheLocaleCallsEqualStayApart) {
  const std::u16string pairs[][2] = {{u"ss", u"\u00DF"},
                                     {u"\u00E9", u"e\u0301"},
                                     {u"a", u"a\u00AD"},
                                     {u"ab", std::u16string(u"a\0b", 3)}};
  int equalForTheLocale = 0;
  TNameValueTree table;
  for (const auto& pair : pairs) {
    if (SystemCompare(pair[0], pair[1]) == CSTR_EQUAL)
      ++equalForTheLocale;
    EXPECT_NE(CompareKeys(pair[0], pair[1]), 0) << WideToUtf8(pair[1]);
    EXPECT_EQ(CompareKeys(pair[0], pair[1]), -CompareKeys(pair[1], pair[0]));
    table.Add(pair[0], u"first");
    table.Add(pair[1], u"second");
    ASSERT_NE(table.Find(pair[0]), nullptr);
    ASSERT_NE(table.Find(pair[1]), nullptr);
    EXPECT_EQ(table.Find(pair[0])->Value, u"first");
    EXPECT_EQ(table.Find(pair[1])->Value, u"second");
  }
  // Otherwise this test would prove nothing on this system.
  EXPECT_GT(equalForTheLocale, 0);
}
