#include "websetup/HostStamp.h"

#include "base/KaCrypto.h"
#include "server/ReleaseStore.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// A small stand-in for setup.exe: bytes around one slot.
std::string Image(const std::string& host = "127.0.0.1:8080") {
  std::string text = host;
  text.resize(HostSlotTextSize, '\0');
  return std::string("MZ\x90\0head", 8) + "websetup:server-host:v1" + std::string(1, '\0') + text +
         std::string("tail\0\xff", 6);
}

class StampTest : public testing::Test {
protected:
  StampTest() : Dir(fs::temp_directory_path() / ("stamp_test_" + std::to_string(::getpid()))) {
    fs::create_directories(Dir);
  }
  ~StampTest() override { fs::remove_all(Dir); }
  std::string PathOf(const char* name) const { return (Dir / name).string(); }

  fs::path Dir;
};

TEST_F(StampTest, WritesAStampedCopyAndLeavesTheInput) {
  std::string in = PathOf("setup.exe"), out = PathOf("stamped.exe");
  WriteFileAtomically(in, Image(std::string(40, 'x')), 0755);
  StampFile(in, out, "192.168.1.2:81");
  EXPECT_EQ(ReadWholeFile(in), Image(std::string(40, 'x')));
  EXPECT_EQ(ReadWholeFile(out), Image("192.168.1.2:81")) << "the old text must be padded away";
  EXPECT_EQ(ReadHostSlot(ReadWholeFile(out)), "192.168.1.2:81");
  EXPECT_TRUE((fs::status(out).permissions() & fs::perms::owner_exec) != fs::perms::none);
}

TEST_F(StampTest, RefusalsWriteNothing) {
  std::string in = PathOf("setup.exe"), out = PathOf("stamped.exe");
  WriteFileAtomically(in, Image(), 0755);
  EXPECT_THROW(StampFile(in, out, "no_good"), EHostSlot);
  WriteFileAtomically(PathOf("twice.exe"), Image() + Image());
  EXPECT_THROW(StampFile(PathOf("twice.exe"), out, "example.com"), EHostSlot);
  WriteFileAtomically(PathOf("none.exe"), "MZ and nothing else");
  EXPECT_THROW(StampFile(PathOf("none.exe"), out, "example.com"), EHostSlot);
  EXPECT_FALSE(fs::exists(out));
}

TEST_F(StampTest, TheKeyGoesBesideTheHostOrNothingIsWritten) {
  const std::string keyText = PublicKeyText(std::string(32, '\x11'));
  std::string withSlot = Image();
  std::string slot = std::string("websetup:signing-key:v1") + std::string(1, '\0');
  slot.resize(KeySlotSize, '\0');
  withSlot += slot;
  std::string in = PathOf("setup.exe"), out = PathOf("stamped.exe");
  WriteFileAtomically(in, withSlot, 0755);
  EXPECT_THROW(StampFile(in, out, "example.com", keyText + "0"), EKeySlot);
  EXPECT_FALSE(fs::exists(out));
  StampFile(in, out, "example.com", keyText);
  const std::string stamped = ReadWholeFile(out);
  EXPECT_EQ(ReadKeySlot(stamped), keyText);
  EXPECT_EQ(ReadHostSlot(stamped), "example.com");
  // Without a key the copy's key slot stays as the input had it.
  StampFile(out, PathOf("again.exe"), "example.org");
  EXPECT_EQ(ReadKeySlot(ReadWholeFile(PathOf("again.exe"))), keyText);
  // A program without a key slot takes a host, not a key.
  WriteFileAtomically(in, Image(), 0755);
  EXPECT_THROW(StampFile(in, PathOf("nokey.exe"), "example.com", keyText), EKeySlot);
  EXPECT_FALSE(fs::exists(PathOf("nokey.exe")));
}

} // namespace
