#include "base/KaDynLibs.h"
#include "net/curl/KaHTTP_libcurl.h"

#include <gtest/gtest.h>

namespace {

// setup.exe restricts the library search before it loads anything, so these
// tests run restricted too: before main, ahead of every test of the program.
const bool Restricted = RestrictLibrarySearch();

TEST(KaCurlLib, LoadsFromTheProgramsFolderUnderTheRestrictedSearch) {
  ASSERT_TRUE(Restricted);
  ASSERT_TRUE(CurlLib().Load()) << CurlLib().GetLastErrorText();
  EXPECT_NE(CurlEasyInit, nullptr);
}

} // namespace
