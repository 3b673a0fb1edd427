#include "i18n/KaTranslator.h"

#include "i18n/KaTranslator_impl.h"

ITranslatorPtr Translator() {
  static const ITranslatorPtr single = std::make_shared<TTranslator>();
  return single;
}

std::u16string Translate(std::u16string_view text) { return Translator()->Translate(text); }
