#pragma once

// The wizard (Windows only): the program's one main window, a borderless
// form of 499 x 360 with a drawn frame whose pages lie in one notebook. It
// holds the server connection and what the server said about the product,
// opens on the page of its start mode, moves between the pages on the
// buttons' clicks, fills each page's texts when the page is entered, and
// runs the install, update and uninstall procedures inside its handlers.
//
//   TForm_Main& form = Application().CreateForm<TForm_Main>();  // FormCreate
//   form.StartMode = TStartMode::smSetup;
//   Application().Run();                                         // FormShow
//
// Handlers do not catch: a failure ends the handler and the framework shows
// its message (translated) in the general error display. The procedures
// close their progress levels and detach their bars on the way out.
//
// The busy cursor shows while any progress level is open: the form observes
// the program's progress tracker from FormCreate to FormDestroy.

#include "net/KaWork.h"
#include "setup/Form_Main.h"
#include "setup/ProductInfo.h"
#include "setup/StartUp.h"
#include "ui/Form_win.h"
#include "ui/Image_win.h"
#include "ui/KaFormStorage_win.h"
#include "ui/KaScopedRegistration.h"
#include "ui/Notebook_win.h"
#include "ui/Timer_win.h"
#include "ui/VoButton_win.h"
#include "ui/VoCheckBox_win.h"
#include "ui/VoComboBox_win.h"
#include "ui/VoEdit_win.h"
#include "ui/VoFolderDlg_win.h"
#include "ui/VoFormModifier_win.h"
#include "ui/VoLabel_win.h"
#include "ui/VoProgressBar_win.h"

#include <string>

class TForm_Main : public TForm, public IWorkObserver, public ITranslatable {
public:
  // The design. The server's host is the program's stamped one unless given.
  TForm_Main();
  explicit TForm_Main(std::string host);
  ~TForm_Main() override;

  // Set by the program entry before the form is shown.
  TStartMode StartMode = TStartMode::smSetup;
  // True only while the Uninstall Done page is current: closing the window
  // then starts the remover.
  bool RemoveOnClose = false;
  // On the Done page the application to start on Finish; after an
  // uninstall the launcher copy to remove.
  std::string AppToStart;
  // The Error page's message; may hold translation markers.
  std::string ErrorText;

  // The server connection and the product values (Connection, ProductName,
  // ManifestText, ProductInfoValid).
  TProductInfo& Product() { return FProduct; }
  void CreateConnection() { FProduct.CreateConnection(); }
  void ReleaseConnection() { FProduct.ReleaseConnection(); }
  void FetchProductInfo() { FProduct.FetchProductInfo(); }

  // The components, as the design names them.
  TVoFormModifier VoFormModifier{this};
  TVoFolderDlg VoFolderDlg;
  TTimer Timer;
  TKaFormStorage FormStorage{*this};
  TNotebook Notebook{this};

  TPage& pgLanguage = Notebook.AddPage(PageLanguage);
  TImage imgLogo{&pgLanguage};
  TVoLabel lLanguage{&pgLanguage};
  TVoLabel lDutch{&pgLanguage};
  TVoLabel lEnglish{&pgLanguage};
  TVoLabel lGerman{&pgLanguage};
  TVoComboBox cbLanguage{&pgLanguage};
  TVoLabel lInternetSettings{&pgLanguage};
  TVoButton btnLanguageNext{&pgLanguage};

  TPage& pgWelcome = Notebook.AddPage(PageWelcome);
  TImage imgLogo3{&pgWelcome};
  TVoLabel lWelcome{&pgWelcome};
  TVoLabel mWelcome{&pgWelcome};
  TVoButton btnWelcomeNext{&pgWelcome};
  TVoButton btnWelcomePrev{&pgWelcome};

  TPage& pgInstallPath = Notebook.AddPage(PageInstallPath);
  TImage imgLogo4{&pgInstallPath};
  TVoLabel lInstallPath{&pgInstallPath};
  TVoLabel mInstallPath{&pgInstallPath};
  TVoEdit ePath{&pgInstallPath};
  TVoLabel lPath{&pgInstallPath};
  TVoButton btnBrowse{&pgInstallPath};
  TVoButton btnInstallPathNext{&pgInstallPath};
  TVoButton btnInstallPathPrev{&pgInstallPath};

  TPage& pgInstalling = Notebook.AddPage(PageInstalling);
  TImage imgLogo5{&pgInstalling};
  TVoLabel lInstalling{&pgInstalling};
  TVoProgressBar ProgressBar{&pgInstalling};
  TVoProgressBar ProgressBar1{&pgInstalling};

  TPage& pgDone = Notebook.AddPage(PageDone);
  TImage imgLogo6{&pgDone};
  TVoLabel lFinished{&pgDone};
  TVoLabel mFinished{&pgDone};
  TVoCheckBox cbStartApp{&pgDone};
  TVoLabel lStartApp{&pgDone};
  TVoButton btnFinish{&pgDone};

  TPage& pgUninstall = Notebook.AddPage(PageUninstall);
  TImage imgLogo7{&pgUninstall};
  TVoLabel lUnInstall{&pgUninstall};
  TVoLabel mUninstall{&pgUninstall};
  TVoCheckBox cbUninstallAll{&pgUninstall};
  TVoLabel lUninstallAll{&pgUninstall};
  TVoButton btnUninstallNext{&pgUninstall};

  TPage& pgUninstallDone = Notebook.AddPage(PageUninstallDone);
  TImage imgLogo8{&pgUninstallDone};
  TVoLabel lUninstallFinish{&pgUninstallDone};
  TVoLabel mUninstallFinish{&pgUninstallDone};
  TVoButton btnUninstallFinish{&pgUninstallDone};

  TPage& pgError = Notebook.AddPage(PageError);
  TImage imgLogo9{&pgError};
  TVoLabel lError{&pgError};
  TVoLabel mError{&pgError};
  TVoLabel lInternetSettings2{&pgError};

  TPage& pgUpdate = Notebook.AddPage(PageUpdate);
  TImage imgLogo10{&pgUpdate};
  TVoLabel lUpdating{&pgUpdate};
  TVoProgressBar VoProgressBar1{&pgUpdate};
  TVoProgressBar VoProgressBar2{&pgUpdate};

  // The handlers.
  void FormCreate(TComponent& sender);
  void FormDestroy(TComponent& sender);
  void FormShow(TComponent& sender);
  void FormClose(TComponent& sender, TCloseAction& action);
  void NotebookPageChanged(TComponent& sender);
  void cbLanguageChange(TComponent& sender);
  void btnLanguageNextClick(TComponent& sender);
  void lInternetSettingsClick(TComponent& sender);
  void btnWelcomePrevClick(TComponent& sender);
  void btnWelcomeNextClick(TComponent& sender);
  void btnInstallPathPrevClick(TComponent& sender);
  void btnBrowseClick(TComponent& sender);
  void btnInstallPathNextClick(TComponent& sender);
  void TimerTimer(TComponent& sender);
  void btnFinishClick(TComponent& sender);
  void lStartAppClick(TComponent& sender);
  void btnUninstallNextClick(TComponent& sender);
  void lUninstallAllClick(TComponent& sender);
  void btnUninstallFinishClick(TComponent& sender);

  // The busy cursor from the first open progress level to the end of all.
  void WorkStarted() override;
  void WorkFinished() override;
  void WorkChanged(const IWorkLevel&) override {}

  // The window's own title (what the task bar and window lists show) is
  // the frame's caption in the current language.
  void LanguageChanged() override;

private:
  // Selects a page; its page entry follows once FormShow has attached it.
  void GoTo(const char* page);
  // The page chosen by StartMode, with the product information fetched
  // first for the uninstaller.
  void SelectFirstPage();
  void UpdateNow();
  void SetUpDesign();
  // The uninstall's last step, once: the remover started for AppToStart.
  void RemoveLauncher();
  // True once the window has been closed (the program ends when the running
  // handler returns): the procedures stop between two files.
  static bool Closed();

  TProductInfo FProduct;
  bool FRemoverStarted = false;
  bool FPlaced = false;
  TScopedRegistration<IWork, IWorkObserver> FWork{this};
  TScopedRegistration<ITranslator, ITranslatable> FTranslation{this, Translator()};
};
