#include "setup/Form_Main.h"

#include "base/KaStrings.h"
#include "base/KaText.h"
#include "i18n/KaTranslator.h"

std::u16string FormattedText(std::u16string_view marker, const std::u16string& productName) {
  return ToWide(Format(FromWide(Translate(marker)), {FromWide(productName)}));
}
