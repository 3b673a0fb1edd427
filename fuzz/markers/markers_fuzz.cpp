// Translation markers: a text translated through a table that the input
// fills too (so values may hold markers of their own, cycles included), and
// through the built-in tables. No marker survives a translation; a table
// whose values lead back to their own keys ends (the time-out would tell).
//
// Input: lines; the first is the text, each further line "key=value" adds an
// entry. Bytes are read as UTF-8 where they can be, so texts hold characters
// beyond 8 bits too.

#include "base/KaExceptions.h"
#include "base/KaText.h"
#include "fuzz/FuzzCheck.h"
#include "i18n/BuiltInTexts.h"
#include "i18n/KaTranslator.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void CheckTranslated(const std::u16string& result) {
  FUZZ_CHECK(result.find(u"$(") == std::u16string::npos);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::u16string input = Utf8ToWide(std::string(reinterpret_cast<const char*>(data), size));
  const size_t firstBreak = input.find(u'\n');
  const std::u16string text = input.substr(0, firstBreak);

  // The single translator, emptied: the program's Translate goes through it.
  ITranslatorPtr translator = Translator();
  translator->Clear();
  ILanguagePtr language = translator->AddLanguage("xx");
  for (size_t at = firstBreak; at != std::u16string::npos && at < input.size();) {
    size_t end = input.find(u'\n', at + 1);
    std::u16string line = input.substr(at + 1, end == std::u16string::npos ? end : end - at - 1);
    at = end;
    size_t eq = line.find(u'=');
    if (eq == std::u16string::npos)
      continue;
    try {
      language->AddText(line.substr(0, eq), line.substr(eq + 1));
    } catch (const Exception&) {
      // A key already present is refused; the table stays as it was.
    }
  }
  FUZZ_CHECK(Translate(text) == text); // no current language yet
  translator->SetLanguage(u"XX");
  CheckTranslated(Translate(text));

  translator->Clear();
  RegisterTexts(*translator);
  translator->SetLanguage(u"nl");
  CheckTranslated(Translate(text));
  translator->SetLanguage(u"en");
  CheckTranslated(Translate(text));
  return 0;
}
