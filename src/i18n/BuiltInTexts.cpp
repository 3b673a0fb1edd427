#include "i18n/BuiltInTexts.h"

#include "i18n/KaTranslator.h"

#include <mutex>
#include <string_view>

namespace {

struct TText {
  std::u16string_view Key;
  std::u16string_view Value;
};

// Each table in the order its texts are registered.
constexpr TText DutchTexts[] = {
    {u"Installer", u"Installatie Programma"},
    {u"OK", u"Bevestigen"},
    {u"Yes", u"Ja"},
    {u"No", u"Nee"},
    {u"Next", u"Volgende"},
    {u"Previous", u"Vorige"},
    {u"Finish", u"Afronden"},
    {u"Browse", u"Bladeren"},
    {u"Language", u"Taal"},
    {u"Product", u"Produkt"},
    {u"Install Path", u"Installatie map"},
    {u"Updating", u"Updating"},
    {u"Uninstall", u"De-installatie van"},
    {u"Launch", u"Start"},
    {u"Internet Settings", u"Internet Instellingen"},
    {u"welcome_title", u"Welkom"},
    {u"welcome_text",
     u"U hebt ervoor gekozen om %0:s te installeren op uw computer. Deze wizard begeleidt u door "
     u"het installatie proces. Als u niet zeker bent van eventuele aangepaste instellingen, kunt u "
     u"de standaard instellingen gebruiken die in de wizard zijn aangegeven."},
    {u"installpath_title", u"Installatie map"},
    {u"installpath_text",
     u"De installatie wizard zal %0:s in de onderstaande map installeren. Als u %0:s in een andere "
     u"map wilt installeren, kunt u gebruik maken van de 'Bladeren' knop om een andere map te "
     u"selecteren. Gebruik de 'Volgende' knop om verder te gaan."},
    {u"installpath_error", u"Directory kan niet worden aangemaakt!"},
    {u"installing_title", u"Bezig met installeren"},
    {u"finished_title", u"Installatie voltooid!"},
    {u"finished_text", u"De installatie wizard heeft de benodigde bestanden geïnstalleerd. Gebruik "
                       u"de 'Afronden' knop om het installatie programma af te sluiten."},
    {u"start_app_title", u"Start %0:s"},
    {u"uninstall_title", u"De-installeren"},
    {u"uninstall_text", u"De installatie wizard zal %0:s verwijderen van uw systeem. Klik op de "
                        u"knop 'Volgende' om hiermee door te gaan."},
    {u"uninstall_all_text", u"Selecteer deze optie als u alle bestanden in de installatie "
                            u"directory wilt verwijderen. Wanneer deze optie uit staat dan zal het "
                            u"installatie programma alle onbekende bestanden laten staan."},
    {u"uninstall_finished_title", u"De-installatie voltooid!"},
    {u"uninstall_finished_text", u"De de-installatie is voltooid. Gebruik de 'Afronden' knop om "
                                 u"het installatie programma af te sluiten."},
    {u"error_title", u"Foutmelding!"},
    {u"productinfo_error",
     u"Het installatie programma kon de productinformatie niet van de server ophalen. Dit kan "
     u"worden veroorzaakt door problemen met de internetverbinding."},
    {u"remove", u"verwijderen"},
    {u"release_signature_error",
     u"De update server heeft een versie van deze applicatie gestuurd die niet door de maker is "
     u"ondertekend, of waarvan de ondertekening niet klopt. Er is niets ge\u00EFnstalleerd of "
     u"gestart."},
    {u"release_expired_error",
     u"De versie van deze applicatie op de update server is verlopen. Er is niets "
     u"ge\u00EFnstalleerd of gestart; neem contact op met de maker van de applicatie."},
    {u"release_rollback_error",
     u"De update server heeft een oudere versie van deze applicatie gestuurd dan de versie die al "
     u"ge\u00EFnstalleerd is. Er is niets ge\u00EFnstalleerd of gestart."},
    {u"release_content_error",
     u"Een gedownload bestand komt niet overeen met de versie die de maker van de applicatie heeft "
     u"ondertekend, en is niet ge\u00EFnstalleerd:"},
};

constexpr TText EnglishTexts[] = {
    {u"Installer", u"Install Program"},
    {u"OK", u"OK"},
    {u"Yes", u"Yes"},
    {u"No", u"No"},
    {u"Next", u"Next"},
    {u"Previous", u"Previous"},
    {u"Browse", u"Browse"},
    {u"Finish", u"Finish"},
    {u"Language", u"Language"},
    {u"Product", u"Product"},
    {u"Install Path", u"Install Path"},
    {u"Updating", u"Updating"},
    {u"Uninstall", u"Uninstall"},
    {u"Launch", u"Lauch"},
    {u"Internet Settings", u"Internet Settings"},
    {u"welcome_title", u"Welcome"},
    {u"welcome_text", u"You are about to install the %0:s application. The installer will guide "
                      u"you through the process. If you are unsure about some of the questions "
                      u"asked, please use the defaults that are supplied by the installer."},
    {u"installpath_title", u"Installation Path"},
    {u"installpath_text",
     u"The installer will use the following directory to install the %0:s application. If you wish "
     u"to use a different directory you can select it by clicking the 'Browse'  button."},
    {u"installpath_error", u"Directory could not be created!"},
    {u"installing_title", u"Installing"},
    {u"finished_title", u"Finished!"},
    {u"finished_text", u"The installer has completed the installation of the files. Use the "
                       u"'Finish' button to close the installer."},
    {u"start_app_title", u"Start %0:s"},
    {u"uninstall_title", u"Uninstall"},
    {u"uninstall_text", u"The installer wil remove %0:s from the system. Click the 'Next' button "
                        u"to proceed with this process."},
    {u"uninstall_all_text",
     u"Check this checkbox if you want the installer to remove all files in the installation "
     u"directory. If unchecked the installer will leave unknown files untouched."},
    {u"uninstall_finished_title", u"Uninstall finished!"},
    {u"uninstall_finished_text",
     u"Uninstall process is finished. Use the 'Finish' button to close the installer."},
    {u"error_title", u"An error has occurred!"},
    {u"productinfo_error", u"The installer was unable to retrieve the product information from the "
                           u"server. This may be caused by problems with the internet connection."},
    {u"remove", u"uninstall"},
    {u"release_signature_error",
     u"The update server sent a release of this application that is not signed by its maker, or "
     u"whose signature does not match. Nothing has been installed or started."},
    {u"release_expired_error",
     u"The release of this application on the update server has expired. Nothing has been "
     u"installed or started; please contact the maker of the application."},
    {u"release_rollback_error",
     u"The update server sent an older release of this application than the one already "
     u"installed. Nothing has been installed or started."},
    {u"release_content_error",
     u"A downloaded file does not match the release signed by the maker of the application, and "
     u"has not been installed:"},
};

template <size_t N>
void AddTexts(ITranslator& translator, std::string_view code, const TText (&texts)[N]) {
  for (const TText& text : texts)
    translator.AddText(code, text.Key, text.Value);
}

} // namespace

void RegisterTexts(ITranslator& translator) {
  translator.AddLanguage("nl")->SetName(u"Nederlands");
  translator.AddLanguage("en")->SetName(u"English");
  AddTexts(translator, "nl", DutchTexts);
  AddTexts(translator, "en", EnglishTexts);
}

void RegisterTexts() {
  static std::once_flag registered;
  std::call_once(registered, [] { RegisterTexts(*Translator()); });
}
