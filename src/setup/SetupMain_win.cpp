#include "base/KaDynLibs.h"
#include "base/KaExceptions.h"
#include "base/KaProcess.h"
#include "base/KaText.h"
#include "i18n/BuiltInTexts.h"
#include "i18n/KaTranslator.h"
#include "net/backends/KaHTTPBackEnds.h"
#include "setup/LauncherCheck.h"
#include "setup/PlainWindow.h"
#include "setup/ProductInfo.h"
#include "setup/StartUp.h"

#include <windows.h>

namespace {

int RunSetup() {
  std::vector<std::string> args = CommandLineArguments();
  RegisterHTTPBackEnds();
  RegisterTexts();
  if (IsRemoverCall(args)) {
    RunRemover(args[1]);
    return 0;
  }

  TProductInfo product;
  product.CreateConnection();
  ReadInstallRecord();
  TStartMode mode = TStartMode::smSetup;
  std::string errorText;
  switch (ChooseStart(args, InstallDir())) {
  case TStartChoice::scSetup: mode = TStartMode::smSetup; break;
  case TStartChoice::scUninstall: mode = TStartMode::smUninstall; break;
  case TStartChoice::scLauncherCheck:
    mode = RunLauncherCheck(product, InstallDir(), errorText);
    break;
  }
  if (mode == TStartMode::smLaunch)
    return 0;

  // Until the wizard exists, the window says which role was chosen.
  try {
    Translator()->SetLanguage(ToWide(RememberedLanguage().empty() ? "nl" : RememberedLanguage()));
  } catch (const Exception&) {
    Translator()->SetLanguage(u"nl");
  }
  std::string modeName = StartModeName(mode);
  std::u16string text = ToWide("Start mode: " + modeName);
  if (!errorText.empty())
    text += u"\n\n" + Translate(ToWide(errorText));
  return RunPlainWindow("Installer - " + modeName, text);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before anything is loaded: a downloaded setup.exe typically starts in a
  // folder full of other downloads, none of which may be taken for a library.
  RestrictLibrarySearch();
  try {
    return RunSetup();
  } catch (const Exception& e) {
    std::u16string text = ToWide(e.Message());
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(text.c_str()), L"Installer",
                MB_ICONERROR);
  } catch (const std::exception& e) {
    MessageBoxA(nullptr, e.what(), "Installer", MB_ICONERROR);
  }
  return 1;
}
