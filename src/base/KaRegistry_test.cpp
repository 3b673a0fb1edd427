#include "base/KaRegistry.h"

#include "base/KaExceptions.h"

#include <gtest/gtest.h>

namespace {
const std::string TestKey = "Software\\websetup-tests\\Registry";
}

TEST(Registry, WritesReadsAndDeletesValues) {
  TRegistry reg(TRootKey::rkCurrentUser);
  reg.DeleteKey(TestKey);
  EXPECT_FALSE(reg.KeyExists(TestKey));
  EXPECT_FALSE(reg.OpenKey(TestKey, false));
  ASSERT_TRUE(reg.OpenKey(TestKey, true));
  EXPECT_TRUE(reg.KeyExists(TestKey));
  reg.WriteString("text", "hello");
  reg.WriteInteger("number", 4294967295u);
  EXPECT_EQ(reg.ReadString("text"), "hello");
  EXPECT_EQ(reg.ReadString("TEXT"), "hello") << "value names ignore letter case";
  reg.WriteExpandString("expand", "%USERPROFILE%\\Desktop");
  EXPECT_EQ(reg.ReadString("expand"), "%USERPROFILE%\\Desktop") << "read back unexpanded";
  EXPECT_EQ(reg.ReadInteger("number"), 4294967295u);
  EXPECT_EQ(reg.ReadString("absent"), "");
  EXPECT_THROW(reg.ReadInteger("absent"), ERegistryException);
  EXPECT_THROW(reg.ReadInteger("text"), ERegistryException);
  EXPECT_THROW(reg.ReadString("number"), ERegistryException);
  EXPECT_TRUE(reg.ValueExists("number"));
  EXPECT_TRUE(reg.DeleteValue("number"));
  EXPECT_FALSE(reg.ValueExists("number"));
  reg.CloseKey();

  TRegistry again(TRootKey::rkCurrentUser);
  ASSERT_TRUE(again.OpenKeyReadOnly(TestKey));
  EXPECT_EQ(again.ReadString("text"), "hello");
  again.CloseKey();
  ASSERT_TRUE(again.OpenKey(TestKey + "\\Sub\\Deeper", true));
  again.CloseKey();
  EXPECT_TRUE(again.DeleteKey("Software\\websetup-tests"));
  EXPECT_FALSE(again.KeyExists(TestKey));
}

TEST(Registry, RootsAreSeparate) {
  TRegistry user(TRootKey::rkCurrentUser), machine(TRootKey::rkLocalMachine);
  machine.DeleteKey(TestKey);
  ASSERT_TRUE(user.OpenKey(TestKey, true));
  user.WriteString("where", "user");
  EXPECT_FALSE(machine.KeyExists(TestKey));
  ASSERT_TRUE(machine.OpenKey(TestKey, true));
  EXPECT_EQ(machine.ReadString("where"), "");
  machine.CloseKey();
  user.CloseKey();
  user.DeleteKey("Software\\websetup-tests");
  machine.DeleteKey("Software\\websetup-tests");
}

TEST(Registry, WritingWithoutAnOpenKeyFails) {
  TRegistry reg;
  EXPECT_THROW(reg.WriteString("x", "y"), ERegistryException);
  EXPECT_EQ(reg.ReadString("x"), "");
}
