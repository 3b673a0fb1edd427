#include "setup/Form_Main.h"

#include "i18n/BuiltInTexts.h"
#include "i18n/KaTranslator.h"

#include <gtest/gtest.h>

namespace {

class FormattedTextTest : public testing::Test {
protected:
  FormattedTextTest() { RegisterTexts(); }
  ~FormattedTextTest() override { Translator()->SetLanguage(u"nl"); }
};

TEST_F(FormattedTextTest, TheProductNameStandsWhereverTheTextSaysSo) {
  Translator()->SetLanguage(u"en");
  EXPECT_EQ(FormattedText(u"$(start_app_title)", u"Demo"), u"Start Demo");
  // Twice in the Dutch path text.
  Translator()->SetLanguage(u"nl");
  std::u16string path = FormattedText(u"$(installpath_text)", u"Demo 2");
  EXPECT_EQ(path.find(u"%0:s"), std::u16string::npos);
  size_t first = path.find(u"zal Demo 2 in");
  ASSERT_NE(first, std::u16string::npos) << std::string(path.begin(), path.end());
  EXPECT_NE(path.find(u"Als u Demo 2 in een andere map", first), std::u16string::npos);
  // A text without "%0:s" comes back translated only, and a "%" in the
  // name is the name's own.
  EXPECT_EQ(FormattedText(u"$(finished_title)", u"100%"), u"Installatie voltooid!");
  Translator()->SetLanguage(u"en");
  EXPECT_EQ(FormattedText(u"$(uninstall_text)", u"50% Tool").substr(0, 30),
            u"The installer wil remove 50% T");
}

TEST_F(FormattedTextTest, CharactersOfTheCodePageSurvive) {
  Translator()->SetLanguage(u"en");
  EXPECT_EQ(FormattedText(u"$(start_app_title)", u"Caf\u00e9"), u"Start Caf\u00e9");
}

} // namespace
