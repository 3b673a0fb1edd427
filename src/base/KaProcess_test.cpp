#include "base/KaProcess.h"

#include <gtest/gtest.h>

using Args = std::vector<std::string>;

TEST(CommandLine, QuotedPathsWithBlanksAreOneArgument) {
  EXPECT_EQ(SplitCommandLine("setup.exe /X \"C:\\Program Files\\App\\app.exe\""),
            (Args{"setup.exe", "/X", "C:\\Program Files\\App\\app.exe"}));
  EXPECT_EQ(SplitCommandLine("\"C:\\My Dir\\setup.exe\"   /remove  "), (Args{"C:\\My Dir\\setup.exe", "/remove"}));
  EXPECT_EQ(SplitCommandLine("p a\"b c\"d"), (Args{"p", "ab cd"}));
}

TEST(CommandLine, BackslashesAndQuotesFollowTheWindowsRules) {
  EXPECT_EQ(SplitCommandLine("p C:\\dir\\"), (Args{"p", "C:\\dir\\"}));
  EXPECT_EQ(SplitCommandLine("p \"C:\\dir\\\\\""), (Args{"p", "C:\\dir\\"}));
  EXPECT_EQ(SplitCommandLine("p a\\\"b"), (Args{"p", "a\"b"}));
  EXPECT_EQ(SplitCommandLine("p \"a\"\"b\""), (Args{"p", "a\"b"}));
  EXPECT_EQ(SplitCommandLine("p \"\""), (Args{"p", ""}));
  EXPECT_EQ(SplitCommandLine("  "), Args{});
  EXPECT_EQ(SplitCommandLine("\"C:\\a\\\" x"), (Args{"C:\\a\\", "x"})) << "no escapes in the program name";
}
