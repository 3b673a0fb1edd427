#include "net/KaHostSlot.h"

#include "base/KaFiles.h"
#include "base/KaProcess.h"
#include "base/KaProgramPaths.h"
#include "base/KaStreams.h"

#include <gtest/gtest.h>

namespace {

// Runs a copy of the probe program and returns the host it read from its
// own slot; "" when it gave no answer within half a minute.
std::string HostSeenBy(const std::string& program, const std::string& dir) {
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

TEST(HostSlot, StampedCopyOfAnExecutableAsksTheNewHost) {
  const std::string dir = GetTempDir() + "websetup-hostslot\\";
  ForceDirectories(dir);
  const std::string original = ExeDir() + "hostslot_probe.exe";
  const std::string copy = dir + "stamped_probe.exe";

  TMemoryStream image;
  image.LoadFromFile(original);
  std::string bytes = image.Bytes();
  // The built program carries exactly one slot, with the default in it.
  ASSERT_EQ(ReadHostSlot(bytes), DefaultServerHost);
  StampHostSlot(bytes, "updates.example.com:8443");
  TMemoryStream(bytes).SaveToFile(copy);

  EXPECT_EQ(HostSeenBy(original, dir), DefaultServerHost);
  EXPECT_EQ(HostSeenBy(copy, dir), "updates.example.com:8443");

  RemoveFile(dir + "host.txt");
  RemoveFile(copy);
  RemoveDir(dir);
}

} // namespace
