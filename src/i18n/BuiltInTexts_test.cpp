#include "i18n/BuiltInTexts.h"

#include "base/KaText.h"
#include "i18n/KaTranslator.h"
#include "i18n/KaTranslator_impl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct TRow {
  std::u16string_view Key;
  std::u16string_view Dutch;
  std::u16string_view English;
};

// The table of built-in texts, row by row as it is written down.
const TRow Rows[] = {
    {u"Installer", u"Installatie Programma", u"Install Program"},
    {u"OK", u"Bevestigen", u"OK"},
    {u"Yes", u"Ja", u"Yes"},
    {u"No", u"Nee", u"No"},
    {u"Next", u"Volgende", u"Next"},
    {u"Previous", u"Vorige", u"Previous"},
    {u"Finish", u"Afronden", u"Finish"},
    {u"Browse", u"Bladeren", u"Browse"},
    {u"Language", u"Taal", u"Language"},
    {u"Product", u"Produkt", u"Product"},
    {u"Install Path", u"Installatie map", u"Install Path"},
    {u"Updating", u"Updating", u"Updating"},
    {u"Uninstall", u"De-installatie van", u"Uninstall"},
    {u"Launch", u"Start", u"Lauch"},
    {u"Internet Settings", u"Internet Instellingen", u"Internet Settings"},
    {u"welcome_title", u"Welkom", u"Welcome"},
    {u"welcome_text",
     u"U hebt ervoor gekozen om %0:s te installeren op uw computer. Deze wizard begeleidt u door "
     u"het installatie proces. Als u niet zeker bent van eventuele aangepaste instellingen, kunt u "
     u"de standaard instellingen gebruiken die in de wizard zijn aangegeven.",
     u"You are about to install the %0:s application. The installer will guide you through the "
     u"process. If you are unsure about some of the questions asked, please use the defaults that "
     u"are supplied by the installer."},
    {u"installpath_title", u"Installatie map", u"Installation Path"},
    {u"installpath_text",
     u"De installatie wizard zal %0:s in de onderstaande map installeren. Als u %0:s in een andere "
     u"map wilt installeren, kunt u gebruik maken van de 'Bladeren' knop om een andere map te "
     u"selecteren. Gebruik de 'Volgende' knop om verder te gaan.",
     u"The installer will use the following directory to install the %0:s application. If you wish "
     u"to use a different directory you can select it by clicking the 'Browse'  button."},
    {u"installpath_error", u"Directory kan niet worden aangemaakt!",
     u"Directory could not be created!"},
    {u"installing_title", u"Bezig met installeren", u"Installing"},
    {u"finished_title", u"Installatie voltooid!", u"Finished!"},
    {u"finished_text",
     u"De installatie wizard heeft de benodigde bestanden ge\u00EFnstalleerd. Gebruik de "
     u"'Afronden' knop om het installatie programma af te sluiten.",
     u"The installer has completed the installation of the files. Use the 'Finish' button to close "
     u"the installer."},
    {u"start_app_title", u"Start %0:s", u"Start %0:s"},
    {u"uninstall_title", u"De-installeren", u"Uninstall"},
    {u"uninstall_text",
     u"De installatie wizard zal %0:s verwijderen van uw systeem. Klik op de knop 'Volgende' om "
     u"hiermee door te gaan.",
     u"The installer wil remove %0:s from the system. Click the 'Next' button to proceed with this "
     u"process."},
    {u"uninstall_all_text",
     u"Selecteer deze optie als u alle bestanden in de installatie directory wilt verwijderen. "
     u"Wanneer deze optie uit staat dan zal het installatie programma alle onbekende bestanden "
     u"laten staan.",
     u"Check this checkbox if you want the installer to remove all files in the installation "
     u"directory. If unchecked the installer will leave unknown files untouched."},
    {u"uninstall_finished_title", u"De-installatie voltooid!", u"Uninstall finished!"},
    {u"uninstall_finished_text",
     u"De de-installatie is voltooid. Gebruik de 'Afronden' knop om het installatie programma af "
     u"te sluiten.",
     u"Uninstall process is finished. Use the 'Finish' button to close the installer."},
    {u"error_title", u"Foutmelding!", u"An error has occurred!"},
    {u"remove", u"verwijderen", u"uninstall"},
};

struct TCall {
  std::string Code;
  std::u16string Key;
  std::u16string Value;
};

// Records the registrations it is asked for, in order, and carries them out.
class TRecordingTranslator : public TTranslator {
public:
  ILanguagePtr AddLanguage(std::string_view code) override {
    Languages.emplace_back(code);
    return TTranslator::AddLanguage(code);
  }
  void AddText(std::string_view code, std::u16string_view key, std::u16string_view value) override {
    Texts.push_back({std::string(code), std::u16string(key), std::u16string(value)});
    TTranslator::AddText(code, key, value);
  }
  std::vector<std::string> Languages;
  std::vector<TCall> Texts;
};

std::vector<TCall> Expected(const std::string& code) {
  const bool dutch = code == "nl";
  std::vector<TCall> calls;
  for (const TRow& row : Rows)
    calls.push_back(
        {code, std::u16string(row.Key), std::u16string(dutch ? row.Dutch : row.English)});
  if (!dutch) {
    auto at = [&](std::u16string_view key) {
      return std::find_if(calls.begin(), calls.end(), [&](const TCall& c) { return c.Key == key; });
    };
    std::iter_swap(at(u"Finish"), at(u"Browse"));
  }
  return calls;
}

std::u16string Show(const std::vector<TCall>& calls) {
  std::u16string out;
  for (const TCall& c : calls)
    out += c.Key + u" = " + c.Value + u"\n";
  return out;
}

} // namespace

TEST(BuiltInTexts, EveryTextAsTheTableGivesItInRegistrationOrder) {
  TRecordingTranslator translator;
  RegisterTexts(translator);

  EXPECT_EQ(translator.Languages, (std::vector<std::string>{"nl", "en"}));
  ASSERT_EQ(translator.GetCount(), 2);
  EXPECT_EQ(translator.GetLanguage(0)->GetName(), u"Nederlands");
  EXPECT_EQ(translator.GetLanguage(1)->GetName(), u"English");
  EXPECT_EQ(translator.GetCurrent(), nullptr) << "no language is selected";

  // Apart from the Error page's message, which follows error_title in both,
  // and the refusals of a release, which follow all other texts.
  auto isRefusal = [](const std::u16string& key) {
    return std::any_of(std::begin(ReleaseRefusalKeys), std::end(ReleaseRefusalKeys),
                       [&](const char* k) { return key == Utf8ToWide(k); });
  };
  std::vector<TCall> dutch, english, message;
  for (const TCall& call : translator.Texts) {
    if (call.Key == Utf8ToWide(ProductInfoErrorKey))
      message.push_back(call);
    else if (!isRefusal(call.Key))
      (call.Code == "nl" ? dutch : english).push_back(call);
  }
  EXPECT_EQ(Show(dutch), Show(Expected("nl")));
  EXPECT_EQ(Show(english), Show(Expected("en")));

  ASSERT_EQ(message.size(), 2u);
  EXPECT_EQ(message[0].Code, "nl");
  EXPECT_EQ(message[1].Code, "en");
  const size_t perLanguage = std::size(Rows) + 1 + std::size(ReleaseRefusalKeys);
  ASSERT_EQ(translator.Texts.size(), 2 * perLanguage);
  const size_t title = std::find_if(std::begin(Rows), std::end(Rows),
                                    [](const TRow& r) { return r.Key == u"error_title"; }) -
                       std::begin(Rows);
  for (size_t base : {size_t(0), perLanguage}) {
    EXPECT_EQ(translator.Texts[base + title].Key, u"error_title");
    EXPECT_EQ(translator.Texts[base + title + 1].Key, Utf8ToWide(ProductInfoErrorKey));
    for (size_t i = 0; i < std::size(ReleaseRefusalKeys); ++i)
      EXPECT_EQ(translator.Texts[base + std::size(Rows) + 1 + i].Key,
                Utf8ToWide(ReleaseRefusalKeys[i]));
  }
  EXPECT_NE(message[0].Value.find(u"server"), std::u16string::npos);
  EXPECT_NE(message[1].Value.find(u"product information"), std::u16string::npos);
  EXPECT_NE(message[1].Value.find(u"internet connection"), std::u16string::npos);
}

// Registered once at start-up, whatever calls it again.
TEST(BuiltInTexts, StartUpRegistrationServesEveryKeyInBothLanguages) {
  RegisterTexts();
  RegisterTexts();
  ITranslatorPtr translator = Translator();
  ASSERT_EQ(translator->GetCount(), 2);
  const std::u16string marker = Utf8ToWide(ProductInfoErrorText);
  for (const char* code : {"nl", "en"}) {
    translator->SetLanguage(Utf8ToWide(code));
    for (const TRow& row : Rows) {
      EXPECT_EQ(Translate(u"$(" + std::u16string(row.Key) + u")"),
                std::string_view(code) == "nl" ? row.Dutch : row.English);
    }
    EXPECT_EQ(Translate(marker).find(u"$"), std::u16string::npos);
    for (const char* key : ReleaseRefusalKeys)
      EXPECT_EQ(Translate(u"$(" + Utf8ToWide(key) + u")").find(u"$"), std::u16string::npos) << key;
    EXPECT_EQ(Translate(u"$(Cancel) $(error_text) $(install_text)"),
              u"$[Cancel] $[error_text] $[install_text]");
  }
}
