#include "base/KaStrings.h"

#include "base/KaExceptions.h"

#include <gtest/gtest.h>

TEST(Escape, EveryByteValueSurvivesARoundTrip) {
  std::string all;
  for (int i = 0; i < 256; ++i)
    all += static_cast<char>(i);
  std::string escaped = Escape(all + "\\\\,,\r\n" + all);
  EXPECT_EQ(escaped.find(','), std::string::npos);
  EXPECT_EQ(escaped.find('\r'), std::string::npos);
  EXPECT_EQ(escaped.find('\n'), std::string::npos);
  EXPECT_EQ(escaped.find('\0'), std::string::npos);
  EXPECT_EQ(Unescape(escaped), all + "\\\\,,\r\n" + all);
}

TEST(Escape, WritesTheEightCharactersAsTheirPairs) {
  EXPECT_EQ(Escape(std::string("\0\n\r\x1a\"',\\", 8)), "\\0\\n\\r\\Z\\\"\\'\\c\\\\");
  EXPECT_EQ(Escape("C:\\App\\"), "C:\\\\App\\\\");
  EXPECT_EQ(Escape("plain text"), "plain text");
}

TEST(Unescape, ABackslashBeforeAnyOtherCharacterYieldsThatCharacter) {
  EXPECT_EQ(Unescape("\\a\\b\\\\\\\"\\x"), "ab\\\"x");
  EXPECT_EQ(Unescape("\\0"), std::string(1, '\0'));
  EXPECT_EQ(Unescape("a\\cb"), "a,b");
  EXPECT_EQ(Unescape("end\\"), "end");
}

TEST(SplitFunctions, FindTheirSeparatorOrFallBack) {
  EXPECT_EQ(LastPos(".", "a.b.c"), 4);
  EXPECT_EQ(LastPos("", "abc"), 0);
  EXPECT_EQ(LastPos(".", ""), 0);
  EXPECT_EQ(LastPos("::", "a::b::c"), 5);
  EXPECT_EQ(CopyBeforeLast(".", "name"), "name");
  EXPECT_EQ(CopyAfterLast("\\", "name"), "");
  EXPECT_EQ(CopyBeforeLast(".", "a.b.c"), "a.b");
  EXPECT_EQ(CopyAfterLast(".", "a.b.c"), "c");
  EXPECT_EQ(CopyBeforeFirst("--", "a--b--c"), "a");
  EXPECT_EQ(CopyAfterFirst("--", "a--b--c"), "b--c");
  EXPECT_EQ(CopyBeforeFirst(",", "abc"), "abc");
  EXPECT_EQ(CopyAfterFirst(",", "abc"), "");
}

TEST(SplitFunctions, SplitFirstWalksAListAndThenGivesEmptyHeads) {
  std::string text = "1,,two,3";
  EXPECT_EQ(SplitFirst(",", text), "1");
  EXPECT_EQ(SplitFirst(",", text), "");
  EXPECT_EQ(SplitFirst(",", text), "two");
  EXPECT_EQ(text, "3");
  EXPECT_EQ(SplitFirst(",", text), "3");
  EXPECT_EQ(text, "");
  EXPECT_EQ(SplitFirst(",", text), "");
  EXPECT_EQ(text, "");
}

TEST(SplitFunctions, CharacterHelpers) {
  EXPECT_TRUE(EndsWithChar('\\', "C:\\"));
  EXPECT_FALSE(EndsWithChar('\\', ""));
  EXPECT_EQ(KeepChars("a1-b2c3", "0123456789-"), "1-23");
}

TEST(Paths, AddBackslashAndExtractDir) {
  EXPECT_EQ(AddBackslash(""), "");
  EXPECT_EQ(AddBackslash("C:\\App"), "C:\\App\\");
  EXPECT_EQ(AddBackslash("C:\\App\\"), "C:\\App\\");
  EXPECT_EQ(ExtractDir("C:\\App\\setup.exe"), "C:\\App\\");
  EXPECT_EQ(ExtractDir("C:setup.exe"), "C:\\");
  EXPECT_EQ(ExtractDir("setup.exe"), "");
}

TEST(Text, TrimCaseAndMasks) {
  EXPECT_EQ(Trim(std::string("\x01 \tab c\r\n\0", 9)), "ab c");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_TRUE(SameText("WinInet", "wININET"));
  EXPECT_FALSE(SameText("Indy", "Ind"));
  EXPECT_TRUE(MatchesMask("Setup.EXE", "*.exe"));
  EXPECT_TRUE(MatchesMask("readme", "*.*"));
  EXPECT_TRUE(MatchesMask("a1b", "a?b"));
  EXPECT_FALSE(MatchesMask("ab", "a?b"));
  EXPECT_TRUE(MatchesMask("anything", "*"));
  EXPECT_FALSE(MatchesMask("file.txt", "*.exe"));
  EXPECT_TRUE(MatchesMask("aXbXc.dll", "a*b*c.dll"));
}

TEST(Numbers, ConversionsUseThePlatformWording) {
  EXPECT_EQ(StrToInt("-42"), -42);
  EXPECT_EQ(StrToInt64("4294967295"), 4294967295LL);
  try {
    StrToInt("abc");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'abc' is not a valid integer value");
    EXPECT_STREQ(e.ClassName(), "EConvertError");
  }
  EXPECT_THROW(StrToInt(""), EConvertError);
  EXPECT_THROW(StrToInt("2147483648"), EConvertError);
  EXPECT_THROW(StrToInt("12x"), EConvertError);
}

TEST(Text, SplitLinesAtEveryKindOfLineEnd) {
  EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_TRUE(SplitLines("").empty());
}

TEST(Text, Base64OfEveryPaddingAndOfHighBytes) {
  // The examples of RFC 4648, section 10.
  EXPECT_EQ(Base64Encode(""), "");
  EXPECT_EQ(Base64Encode("f"), "Zg==");
  EXPECT_EQ(Base64Encode("fo"), "Zm8=");
  EXPECT_EQ(Base64Encode("foo"), "Zm9v");
  EXPECT_EQ(Base64Encode("foobar"), "Zm9vYmFy");
  EXPECT_EQ(Base64Encode("wsproxy:secret-7"), "d3Nwcm94eTpzZWNyZXQtNw==");
  EXPECT_EQ(Base64Encode(std::string("\xFF\xFE\x00", 3)), "//4A");
}

TEST(Format, IndexedArgumentsMayRepeatAndPlainOnesFollowTheIndex) {
  EXPECT_EQ(Format("Install %0:s into the %0:s folder", {"Demo"}),
            "Install Demo into the Demo folder");
  EXPECT_EQ(Format("%1:s %s %0:s %s", {"a", "b", "c"}), "b c a b");
  EXPECT_EQ(Format("100%% of %s", {"50% off"}), "100% of 50% off");
  EXPECT_EQ(Format("no specifier", {}), "no specifier");
  EXPECT_EQ(Format("[%5s|%-5s|%.2s|%0:4.1s]", {"ab", "cd", "efg"}), "[   ab|cd   |ef|   a]");
}

TEST(Format, OtherSpecifiersAndMissingArgumentsAreRefused) {
  for (const char* format : {"%d", "%1:s", "%s %s", "%", "50%", "%.s", "%:s"}) {
    EXPECT_THROW(Format(format, {"only"}), EConvertError) << format;
  }
  try {
    Format("%d", {"x"});
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Format '%d' invalid or incompatible with argument");
  }
}
