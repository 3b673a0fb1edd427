#include "net/KaHostSlot.h"

#include "base/KaCrypto.h"
#include "base/KaFiles.h"
#include "base/KaProcess.h"
#include "base/KaProgramPaths.h"
#include "base/KaStreams.h"
#include "net/KaKeySlot.h"

#include <gtest/gtest.h>

namespace {

// Runs a copy of the probe program and returns the host and the key it read
// from its own slots, a line end between them; "" when it gave no answer
// within half a minute.
std::string SlotsSeenBy(const std::string& program, const std::string& dir) {
  const std::string answer = dir + "host.txt";
  RemoveFile(answer);
  if (!RunProgram("\"" + program + "\" \"" + answer + "\""))
    return "";
  for (int i = 0; i < 300 && !FileExists(answer); ++i)
    Pause(100);
  if (!FileExists(answer))
    return "";
  TMemoryStream text;
  text.LoadFromFile(answer);
  return text.Bytes();
}

TEST(HostSlot, StampedCopyOfAnExecutableAsksTheNewHostAndTrustsTheNewKey) {
  const std::string dir = GetTempDir() + "websetup-hostslot\\";
  ForceDirectories(dir);
  const std::string original = ExeDir() + "hostslot_probe.exe";
  const std::string copy = dir + "stamped_probe.exe";

  TMemoryStream image;
  image.LoadFromFile(original);
  std::string bytes = image.Bytes();
  // The built program carries exactly one slot of each, with the defaults in them.
  ASSERT_EQ(ReadHostSlot(bytes), DefaultServerHost);
  ASSERT_EQ(ReadKeySlot(bytes), "");
  StampHostSlot(bytes, "updates.example.com:8443");
  const std::string key = PublicKeyText(Ed25519KeyPairFromSeed(std::string(32, 'k')).PublicKey);
  StampKeySlot(bytes, key);
  TMemoryStream(bytes).SaveToFile(copy);

  EXPECT_EQ(SlotsSeenBy(original, dir), std::string(DefaultServerHost) + "\n");
  EXPECT_EQ(SlotsSeenBy(copy, dir), "updates.example.com:8443\n" + key);

  RemoveFile(dir + "host.txt");
  RemoveFile(copy);
  RemoveDir(dir);
}

} // namespace
