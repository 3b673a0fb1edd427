#include "base/KaDynLibs.h"
#include "base/KaExceptions.h"
#include "base/KaProcess.h"
#include "base/KaText.h"
#include "i18n/BuiltInTexts.h"
#include "net/backends/KaHTTPBackEnds.h"
#include "setup/Form_Main_win.h"
#include "setup/LauncherCheck.h"
#include "setup/StartUp.h"
#include "ui/Application_win.h"

#include <objbase.h>
#include <windows.h>

namespace {

// COM on the GUI thread for the life of the program: the folder browser and
// the shell links need it, in the apartment of the windows.
class TComScope {
public:
  TComScope() : FInitialized(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~TComScope() {
    if (FInitialized)
      CoUninitialize();
  }
  TComScope(const TComScope&) = delete;
  TComScope& operator=(const TComScope&) = delete;

private:
  bool FInitialized;
};

int RunSetup() {
  std::vector<std::string> args = CommandLineArguments();
  RegisterHTTPBackEnds();
  RegisterTexts();
  if (IsRemoverCall(args)) {
    RunRemover(args[1]);
    return 0;
  }

  TComScope com;
  // The forms go before COM does, on every way out, also without the loop.
  struct TFormsScope {
    ~TFormsScope() { Application().DestroyForms(); }
  } forms;
  TForm_Main& form = Application().CreateForm<TForm_Main>();
  ReadInstallRecord();
  switch (ChooseStart(args, InstallDir())) {
  case TStartChoice::scSetup: form.StartMode = TStartMode::smSetup; break;
  case TStartChoice::scUninstall: form.StartMode = TStartMode::smUninstall; break;
  case TStartChoice::scLauncherCheck:
    form.StartMode = RunLauncherCheck(form.Product(), InstallDir(), form.ErrorText);
    break;
  }
  // The application has been started and nothing needs showing: the form
  // goes unshown.
  if (form.StartMode == TStartMode::smLaunch)
    return 0;
  Application().Run();
  return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before anything is loaded: a downloaded setup.exe typically starts in a
  // folder full of other downloads, none of which may be taken for a library.
  RestrictLibrarySearch();
  try {
    return RunSetup();
  } catch (...) {
    // What the windows did not catch themselves (the start before the first
    // window): shown like every other failure, then the program ends.
    Application().HandleException(std::current_exception());
  }
  return 1;
}
