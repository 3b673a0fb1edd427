#include "server/ReleaseDescription.h"

#include "model/VoFolder.h"

#include <gtest/gtest.h>

namespace {

const std::string Installer = "[installer]\ndisplayName=D\nappName=A\nappDir=C:\\A\\\npayloadName=";

TEST(ReleaseDescription, ReadsEverySectionWithDefaults) {
  TReleaseDescription d = ParseReleaseDescription(Installer + "bin/A.exe\n");
  EXPECT_EQ(d.PayloadName, "bin\\A.exe");
  EXPECT_EQ(d.Masks, std::vector<std::string>{"*"}) << "no [masks]: every file";
  EXPECT_TRUE(d.Excludes.empty());
  EXPECT_TRUE(d.ShortcutsText.empty());

  d = ParseReleaseDescription(Installer + "A.exe\n[masks]\n|*.exe\n|*.dll\n[excludes]\n|tmp\n"
                                          "[delete]\n|x/y.txt\n[shortcuts]\n|A,A.exe\n");
  EXPECT_EQ(d.Masks, (std::vector<std::string>{"*.exe", "*.dll"}));
  EXPECT_EQ(d.Excludes, std::vector<std::string>{"tmp"});
  EXPECT_EQ(d.Deletes, std::vector<std::string>{"x\\y.txt"});
  EXPECT_EQ(d.ShortcutsText, "|A,A.exe\r\n");
}

TEST(ReleaseDescription, ModesGoByNameOrPathFirstMatchFirst) {
  TReleaseDescription d = ParseReleaseDescription(
      Installer + "A.exe\n[modes]\ndata\\*.db=keep\n*.ini=createOnly\n*.INI=delete\nold*=2\n");
  EXPECT_EQ(d.ModeFor("data\\main.db"), umKeep);
  EXPECT_EQ(d.ModeFor("main.db"), umReplace) << "a pattern with a \\ matches paths only";
  EXPECT_EQ(d.ModeFor("conf\\Settings.ini"), umCreateOnly) << "letter case ignored, first wins";
  EXPECT_EQ(d.ModeFor("old.txt"), umDelete);
  EXPECT_EQ(d.ModeFor("A.exe"), umReplace);
}

TEST(ReleaseDescription, RefusesIncompleteOrUnsafeDescriptions) {
  EXPECT_THROW(ParseReleaseDescription(""), EPublish);
  EXPECT_THROW(ParseReleaseDescription("[installer]\nappName=A\nappDir=x\npayloadName=A.exe\n"),
               EPublish);
  for (const char* payload :
       {"..\\evil.exe", "C:\\A.exe", "a\\\\b.exe", "con.exe", "caf\xc3\xa9.exe"})
    EXPECT_THROW(ParseReleaseDescription(Installer + payload + "\n"), EPublish) << payload;
  EXPECT_THROW(ParseReleaseDescription(Installer + "A.exe\n[modes]\n*=sometimes\n"), EPublish);
  EXPECT_THROW(ParseReleaseDescription(Installer + "A.exe\n[delete]\n|..\\up.txt\n"), EPublish);
  EXPECT_THROW(ParseReleaseDescription(Installer + "A.exe\n[masks]\n"), EPublish);
  for (const char* mask : {"bin\\*.dll", "../*", "C:*"})
    EXPECT_THROW(ParseReleaseDescription(Installer + "A.exe\n[masks]\n|" + mask + "\n"), EPublish)
        << mask;
  EXPECT_THROW(ParseReleaseDescription(
                   "[installer]\ndisplayName=D\nappName=a:b\nappDir=x\npayloadName=A.exe\n"),
               EPublish);
}

} // namespace
