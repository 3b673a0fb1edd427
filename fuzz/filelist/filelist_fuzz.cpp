// The file list text: any bytes load (or raise a conversion error with what
// was read so far kept), the tree walks, and the written form is a fixed
// point. The scan runs against a small scratch directory, never against the
// path the text names.

#include "base/KaExceptions.h"
#include "base/KaFiles.h"
#include "fuzz/FuzzCheck.h"
#include "model/VoFolder.h"
#include "model/VoTree.h"

#include "fuzz/FuzzScratch.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string scratch = FuzzScratchDir();
  const std::string text(reinterpret_cast<const char*>(data), size);
  IVoFolderPtr folder = CreateFolder();
  try {
    folder->SetText(text);
  } catch (const EConvertError&) {
    // A malformed number or time stamp ends the reading; what was read stays.
  }

  const std::string written = folder->GetText();
  IVoFolderPtr again = CreateFolder();
  again->SetText(written); // what we write we read, without an error
  FUZZ_CHECK(again->GetText() == written);

  folder->GetFileList();
  folder->GetEmptyDirs();
  folder->SetPath(scratch);
  IVoNodePtr scanned = folder->Scan();
  FUZZ_CHECK(scanned != nullptr);
  folder->Update();
  folder->Purge();
  again->SetRoot(folder->GetRoot());
  again->GetText();
  return 0;
}
