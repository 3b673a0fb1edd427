// The manifest text followed by NeedsUpdate on a scratch directory: any bytes
// load (or raise a conversion error from the file list), the check only
// reads the directory, and the written form is a fixed point.

#include "base/KaExceptions.h"
#include "model/VoUpdateConfig.h"

#include "FuzzScratch.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition) {
  if (!condition)
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string scratch = FuzzScratchDir();
  static const std::string before = FuzzScratchListing(scratch);
  const std::string text(reinterpret_cast<const char*>(data), size);
  IVoUpdateConfigPtr manifest = CreateUpdateConfig();
  try {
    manifest->SetText(text);
  } catch (const EConvertError&) {
  }
  manifest->NeedsUpdate(scratch);
  Check(FuzzScratchListing(scratch) == before);

  const std::string written = manifest->GetText();
  IVoUpdateConfigPtr again = CreateUpdateConfig();
  again->SetText(written);
  Check(again->GetText() == written);
  return 0;
}
