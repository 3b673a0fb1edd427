#include "setup/VoInternetForm.h"

#include "base/KaRegistry.h"
#include "net/KaHTTP.h"
#include "net/testing/KaNetTesting.h"

#include <gtest/gtest.h>

namespace {

TEST(InternetSettingValues, MissingKeyGivesTheDefaults) {
  TInternetSettingsScope scope;
  TInternetSettingValues v = ReadInternetSettingValues();
  EXPECT_EQ(v.Lib, "");
  EXPECT_EQ(v.Method, "");
  EXPECT_EQ(v.ProxyHost, "");
  EXPECT_EQ(v.ProxyPort, 0);
  EXPECT_EQ(v.ProxyUserName, "");
  EXPECT_EQ(v.ProxyPassword, "");
  EXPECT_EQ(LibraryOfSetting(v.Lib), TInternetLibrary::ilIndy);
  EXPECT_EQ(MethodOfSetting(v.Method), TProxyMethod::pmAutoDetect);
}

TEST(InternetSettingValues, EachValueIsReadOnItsOwn) {
  TInternetSettingsScope scope;
  // A port stored as text and a host stored as a number are unreadable;
  // the values around them still count, and so does a password without a
  // user name (the dialog shows what is stored).
  scope.Write("lib", "libcurl");
  scope.Write("method", "manual");
  scope.Write("proxy-host", uint32_t{7});
  scope.Write("proxy-port", "8080");
  scope.Write("proxy-password", "secret");
  TInternetSettingValues v = ReadInternetSettingValues();
  EXPECT_EQ(v.Lib, "libcurl");
  EXPECT_EQ(v.Method, "manual");
  EXPECT_EQ(v.ProxyHost, "");
  EXPECT_EQ(v.ProxyPort, 0);
  EXPECT_EQ(v.ProxyUserName, "");
  EXPECT_EQ(v.ProxyPassword, "secret");
}

TEST(InternetSettingValues, WritesEveryValueTrimmedWhateverTheMethod) {
  TInternetSettingsScope scope;
  TInternetSettingValues v;
  v.Lib = LibrarySetting(false, true, false);
  v.Method = MethodSetting(true, false);
  v.ProxyHost = "  proxy.example \t";
  v.ProxyPort = 3128;
  v.ProxyUserName = " user ";
  v.ProxyPassword = "\tpass word  ";
  ASSERT_TRUE(WriteInternetSettingValues(v));

  TRegistry reg(TRootKey::rkLocalMachine);
  ASSERT_TRUE(reg.OpenKeyReadOnly(InternetSettingsKey));
  EXPECT_EQ(reg.ReadString("lib"), "WinInet");
  EXPECT_EQ(reg.ReadString("method"), "direct");
  EXPECT_EQ(reg.ReadString("proxy-host"), "proxy.example");
  EXPECT_EQ(reg.ReadInteger("proxy-port"), 3128u);
  EXPECT_EQ(reg.ReadString("proxy-username"), "user");
  EXPECT_EQ(reg.ReadString("proxy-password"), "pass word");
  reg.CloseKey();

  TInternetSettingValues back = ReadInternetSettingValues();
  EXPECT_EQ(LibraryOfSetting(back.Lib), TInternetLibrary::ilWinInet);
  EXPECT_EQ(MethodOfSetting(back.Method), TProxyMethod::pmDirect);
}

TEST(InternetSettingValues, ChoicesAreExactAndCaseSensitive) {
  EXPECT_EQ(LibraryOfSetting("Indy"), TInternetLibrary::ilIndy);
  EXPECT_EQ(LibraryOfSetting("indy"), TInternetLibrary::ilIndy);
  EXPECT_EQ(LibraryOfSetting("wininet"), TInternetLibrary::ilIndy);
  EXPECT_EQ(LibraryOfSetting("LibCurl"), TInternetLibrary::ilIndy);
  EXPECT_EQ(LibraryOfSetting("libcurl"), TInternetLibrary::ilLibCurl);
  EXPECT_EQ(MethodOfSetting("Manual"), TProxyMethod::pmAutoDetect);
  EXPECT_EQ(MethodOfSetting("DIRECT"), TProxyMethod::pmAutoDetect);
  EXPECT_EQ(MethodOfSetting("auto"), TProxyMethod::pmAutoDetect);
  EXPECT_EQ(MethodOfSetting("anything"), TProxyMethod::pmAutoDetect);
  // With no button of the library group checked, nothing is chosen.
  EXPECT_EQ(LibrarySetting(false, false, false), "");
  EXPECT_EQ(MethodSetting(false, false), "auto");
}

} // namespace
