#include "KaExceptions.h"
#include "KaProcess.h"
#include "KaText.h"
#include "PlainWindow.h"
#include "StartUp.h"

#include <windows.h>

namespace {

int RunSetup() {
  std::vector<std::string> args = CommandLineArguments();
  if (IsRemoverCall(args)) {
    RunRemover(args[1]);
    return 0;
  }

  ReadInstallRecord();
  // Until the wizard exists, the window says which role was chosen.
  std::string modeName;
  switch (ChooseStart(args, InstallDir())) {
  case TStartChoice::scSetup: modeName = StartModeName(TStartMode::smSetup); break;
  case TStartChoice::scUninstall: modeName = StartModeName(TStartMode::smUninstall); break;
  case TStartChoice::scLauncherCheck: modeName = "launcher check"; break;
  }
  return RunPlainWindow("Installer - " + modeName, "Start mode: " + modeName);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    return RunSetup();
  } catch (const Exception& e) {
    std::u16string text = ToWide(e.Message());
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(text.c_str()), L"Installer", MB_ICONERROR);
  } catch (const std::exception& e) {
    MessageBoxA(nullptr, e.what(), "Installer", MB_ICONERROR);
  }
  return 1;
}
