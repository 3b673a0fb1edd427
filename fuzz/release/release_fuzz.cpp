// The release description the vendor writes beside an application folder:
// any text is parsed or refused with EPublish naming why, every accepted path
// is one a client would write, and the modes match paths of any shape.

#include "fuzz/FuzzCheck.h"
#include "model/VoFolder.h"
#include "server/ReleaseDescription.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    for (const std::string& part : SplitRelativePath(text))
      FUZZ_CHECK(IsPlainEntryName(part));
  } catch (const EPublish&) {
  }
  TReleaseDescription d;
  try {
    d = ParseReleaseDescription(text);
  } catch (const EPublish&) {
    return 0;
  }
  FUZZ_CHECK(!d.DisplayName.empty() && !d.AppName.empty() && !d.AppDir.empty() && !d.Masks.empty());
  FUZZ_CHECK(IsPlainEntryName(d.AppName + ".exe"));
  for (const std::string& path : d.Deletes)
    FUZZ_CHECK(!SplitRelativePath(path).empty());
  for (const std::string& path : {d.PayloadName, std::string("a"), std::string("a\\b\\c.txt"),
                                  std::string(""), std::string("\\"), text})
    d.ModeFor(path);
  return 0;
}
