// The configuration text: any bytes load, and the written form is a fixed
// point (written, read back and written again it stays the same text).

#include "fuzz/FuzzCheck.h"
#include "model/VoConfig.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  IVoConfigPtr config = CreateConfig();
  config->SetText(text);
  FUZZ_CHECK(config->GetSectionCount() >= 1 && config->GetSection(0)->GetName().empty());

  for (int i = 0; i < config->GetSectionCount(); ++i) {
    IVoConfigSectionPtr section = config->GetSection(i);
    for (const std::string& line : section->GetLines()) {
      FUZZ_CHECK(!line.empty());
      if (line[0] == '|')
        continue;
      // Every value line reads back: its key finds the first line of that key.
      const size_t eq = line.find('=');
      FUZZ_CHECK(eq != std::string::npos);
      const std::string key = line.substr(0, eq);
      FUZZ_CHECK(section->ReadValue(key) == line.substr(eq + 1));
    }
    FUZZ_CHECK(config->FindSection(section->GetName()) != nullptr);
  }

  const std::string written = config->GetText();
  IVoConfigPtr again = CreateConfig();
  again->SetText(written);
  FUZZ_CHECK(again->GetText() == written);
  return 0;
}
