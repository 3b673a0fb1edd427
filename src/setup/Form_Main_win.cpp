#include "setup/Form_Main_win.h"

#include "base/KaText.h"
#include "model/VoUpdateConfig.h"
#include "setup/InstallProcedure.h"
#include "setup/UninstallProcedure.h"
#include "setup/UpdateProcedure.h"
#include "setup/VoInternetForm_win.h"
#include "setup/VoMessageForm_win.h"
#include "setup/WorkSession.h"
#include "ui/Application_win.h"
#include "ui/KaCursorGuard.h"
#include "ui/PngResource_win.h"
#include "ui/VoArtwork.h"

namespace {

constexpr TColor Navy = 0x800000;

void SetUpTitle(TVoLabel& label, const char16_t* caption) {
  TFont font = label.Font();
  font.Height = -19;
  font.Style = fsBold;
  label.SetFont(font);
  label.SetCaption(caption);
  label.SetBounds(144, 112, 0, 0);
}

// A label of a text of several lines, word-wrapped at its width. It takes
// the height its text needs: a product name of some length makes the Dutch
// path text a line longer than the design's box, whose last line would
// otherwise be cut.
void SetUpText(TVoLabel& label, const char16_t* caption, int left, int top, int width, int height) {
  label.SetWordWrap(true);
  label.SetCaption(caption);
  label.SetBounds(left, top, width, height);
}

void SetUpLine(TVoLabel& label, const char16_t* caption, int left, int top) {
  label.SetCaption(caption);
  label.SetBounds(left, top, 0, 0);
}

// The link that opens the internet settings: navy, underlined, a hand.
void SetUpLink(TVoLabel& label, int top) {
  TFont font = label.Font();
  font.Color = Navy;
  font.Style = fsUnderline;
  label.SetFont(font);
  label.SetCursor(crHandPoint);
  SetUpLine(label, u"$(Internet Settings)...", 144, top);
}

enum TButtonFace { bfNext, bfPrevious, bfPlain };

void SetUpButton(TVoButton& button, TButtonFace face, const char16_t* caption, int left, int top) {
  static const char* const faces[] = {BUTTON_NEXT, BUTTON_PREVIOUS, BUTTON_PLAIN};
  button.LoadPNG5(faces[face]);
  button.SetPosition(face == bfPrevious ? tbpLeft : tbpRight);
  button.SetCaption(caption);
  button.SetBounds(left, top, 94, 20);
}

void SetUpProgress(TVoProgressBar& bar, int top, int32_t workId) {
  bar.SetBounds(144, top, 329, 20);
  bar.SetMin(0);
  bar.SetMax(100);
  bar.SetWorkID(workId);
}

void SetUpCheck(TVoCheckBox& check, int top) {
  // The caption is the label beside it, which toggles it too: the box only
  // needs its glyph, and stays clear of the label.
  check.SetBounds(144, top, 16, 17);
  check.SetChecked(true);
}

} // namespace

TForm_Main::TForm_Main() : TForm_Main(std::string()) {}

TForm_Main::TForm_Main(std::string host)
    : FProduct(host.empty() ? TProductInfo() : TProductInfo(std::move(host))) {
  SetUpDesign();
  OnCreate = [this](TComponent& sender) { FormCreate(sender); };
  OnDestroy = [this](TComponent& sender) { FormDestroy(sender); };
  OnShow = [this](TComponent& sender) { FormShow(sender); };
  OnClose = [this](TComponent& sender, TCloseAction& action) { FormClose(sender, action); };
}

TForm_Main::~TForm_Main() = default;

void TForm_Main::SetUpDesign() {
  SetBorderStyle(bsNone);
  SetClientSize(499, 360);
  SetMinSize(504, 343);
  VoFormModifier.SetCaption(u"$(Installer)");
  VoFormModifier.SetMinMaxVisible(false);
  VoFormModifier.SetResizeEnabled(false);
  Timer.SetEnabled(false);
  Timer.SetInterval(250);
  Timer.OnTimer = [this](TComponent& sender) { TimerTimer(sender); };
  Notebook.SetAlign(alClient);

  for (TImage* image : {&imgLogo, &imgLogo3, &imgLogo4, &imgLogo5, &imgLogo6, &imgLogo7, &imgLogo8,
                        &imgLogo9, &imgLogo10})
    image->SetAlign(alClient);
  imgLogo.LoadFromPng(LoadPngResource(WIZARD_BACKGROUND));

  // Language.
  SetUpTitle(lLanguage, u"$(Language)");
  SetUpLine(lDutch, u"Kies uw taal...", 144, 144);
  SetUpLine(lEnglish, u"Choose your language...", 144, 160);
  SetUpLine(lGerman, u"W\u00e4hlen Sie Ihre Sprache...", 144, 232);
  lGerman.SetVisible(false);
  cbLanguage.SetStyle(csDropDownList);
  cbLanguage.SetBounds(144, 176, 124, 21);
  cbLanguage.OnChange = [this](TComponent& sender) { cbLanguageChange(sender); };
  SetUpLink(lInternetSettings, 272);
  lInternetSettings.OnClick = [this](TComponent& sender) { lInternetSettingsClick(sender); };
  SetUpButton(btnLanguageNext, bfNext, u"$(Next)", 384, 304);
  btnLanguageNext.OnClick = [this](TComponent& sender) { btnLanguageNextClick(sender); };

  // Welcome.
  SetUpTitle(lWelcome, u"$(welcome_title)");
  SetUpText(mWelcome, u"$(welcome_text)", 144, 144, 329, 153);
  SetUpButton(btnWelcomeNext, bfNext, u"$(Next)", 384, 304);
  btnWelcomeNext.OnClick = [this](TComponent& sender) { btnWelcomeNextClick(sender); };
  SetUpButton(btnWelcomePrev, bfPrevious, u"$(Previous)", 284, 304);
  btnWelcomePrev.OnClick = [this](TComponent& sender) { btnWelcomePrevClick(sender); };

  // InstallPath.
  SetUpTitle(lInstallPath, u"$(installpath_title)");
  SetUpText(mInstallPath, u"$(installpath_text)", 144, 144, 329, 73);
  ePath.SetBounds(144, 240, 334, 21);
  lPath.SetCaption(u"$(Install Path)");
  lPath.SetAttachedPosition(lpTop);
  lPath.SetAttachedTo(&ePath);
  SetUpButton(btnBrowse, bfPlain, u"$(Browse)", 384, 264);
  btnBrowse.OnClick = [this](TComponent& sender) { btnBrowseClick(sender); };
  SetUpButton(btnInstallPathNext, bfNext, u"$(Next)", 384, 304);
  btnInstallPathNext.OnClick = [this](TComponent& sender) { btnInstallPathNextClick(sender); };
  SetUpButton(btnInstallPathPrev, bfPrevious, u"$(Previous)", 284, 304);
  btnInstallPathPrev.OnClick = [this](TComponent& sender) { btnInstallPathPrevClick(sender); };

  // Installing.
  SetUpTitle(lInstalling, u"$(installing_title)...");
  SetUpProgress(ProgressBar, 144, WorkFiles);
  SetUpProgress(ProgressBar1, 168, WorkReceive);

  // Done.
  SetUpTitle(lFinished, u"$(finished_title)");
  SetUpText(mFinished, u"$(finished_text)", 144, 144, 329, 113);
  SetUpCheck(cbStartApp, 264);
  SetUpLine(lStartApp, u"$(start_app_title)", 160, 266);
  lStartApp.OnClick = [this](TComponent& sender) { lStartAppClick(sender); };
  SetUpButton(btnFinish, bfPlain, u"$(Finish)", 384, 304);
  btnFinish.OnClick = [this](TComponent& sender) { btnFinishClick(sender); };

  // Uninstall.
  SetUpTitle(lUnInstall, u"$(uninstall_title)");
  SetUpText(mUninstall, u"$(uninstall_text)", 144, 136, 329, 81);
  SetUpCheck(cbUninstallAll, 224);
  SetUpText(lUninstallAll, u"$(uninstall_all_text)", 160, 226, 313, 71);
  lUninstallAll.OnClick = [this](TComponent& sender) { lUninstallAllClick(sender); };
  SetUpButton(btnUninstallNext, bfNext, u"$(Next)", 384, 304);
  btnUninstallNext.OnClick = [this](TComponent& sender) { btnUninstallNextClick(sender); };

  // Uninstall Done.
  SetUpTitle(lUninstallFinish, u"$(uninstall_finished_title)");
  SetUpText(mUninstallFinish, u"$(uninstall_finished_text)", 144, 136, 329, 161);
  SetUpButton(btnUninstallFinish, bfPlain, u"$(Finish)", 384, 304);
  btnUninstallFinish.OnClick = [this](TComponent& sender) { btnUninstallFinishClick(sender); };

  // Error.
  SetUpTitle(lError, u"$(error_title)");
  SetUpText(mError, u"$(productinfo_error)", 144, 136, 329, 129);
  SetUpLink(lInternetSettings2, 272);
  lInternetSettings2.OnClick = [this](TComponent& sender) { lInternetSettingsClick(sender); };

  // Update.
  SetUpTitle(lUpdating, u"$(Updating)...");
  SetUpProgress(VoProgressBar1, 144, WorkFiles);
  SetUpProgress(VoProgressBar2, 168, WorkReceive);

  LanguageChanged();
}

void TForm_Main::FormCreate(TComponent&) {
  // The windows are made when the form first shows (and centred there): the
  // launcher with nothing to fetch never shows it, and making some sixty
  // windows would be most of its own time.
  FWork.Register(Work());
  CreateConnection();
}

void TForm_Main::FormDestroy(TComponent&) { FWork.Reset(); }

void TForm_Main::FormShow(TComponent&) {
  // The window exists now, with its drawn frame, and is not yet visible.
  if (!FPlaced) {
    FPlaced = true;
    FormStorage.CenterOnPrimaryMonitor();
  }
  // A remembered language that names none of ours (a record written by
  // hand, or by a version with other languages) falls back to the default.
  const std::string& remembered = RememberedLanguage();
  try {
    Translator()->SetLanguage(ToWide(remembered.empty() ? "nl" : remembered));
  } catch (const ETranslator&) {
    Translator()->SetLanguage(u"nl");
  }

  ITranslatorPtr translator = Translator();
  cbLanguage.ClearItems();
  int selected = -1;
  for (int32_t i = 0; i < translator->GetCount(); ++i) {
    ILanguagePtr language = translator->GetLanguage(i);
    cbLanguage.AddItem(language->GetName());
    if (language == translator->GetCurrent())
      selected = i;
  }
  cbLanguage.SetItemIndex(selected);

  for (TImage* image :
       {&imgLogo3, &imgLogo4, &imgLogo5, &imgLogo6, &imgLogo7, &imgLogo8, &imgLogo9, &imgLogo10})
    image->SetPicture(imgLogo.Picture());

  SelectFirstPage();
  Notebook.OnPageChanged = [this](TComponent& sender) { NotebookPageChanged(sender); };
  NotebookPageChanged(Notebook);
}

void TForm_Main::SelectFirstPage() {
  switch (StartMode) {
  case TStartMode::smSetup: Notebook.SetActivePage(PageLanguage); break;
  case TStartMode::smUpdate: Notebook.SetActivePage(PageUpdate); break;
  case TStartMode::smError: Notebook.SetActivePage(PageError); break;
  case TStartMode::smLaunch: break;
  case TStartMode::smUninstall:
    // Without the manifest there is nothing to uninstall: the failure is
    // shown, and the Language page's Next asks again.
    try {
      FetchProductInfo();
      Notebook.SetActivePage(PageUninstall);
    } catch (...) {
      Application().HandleException(std::current_exception());
      Notebook.SetActivePage(PageLanguage);
    }
    break;
  }
}

void TForm_Main::FormClose(TComponent&, TCloseAction&) {
  // Closed while a procedure runs, the window goes at once; the procedure
  // ends at its next safe point and the program with it.
  SetVisible(false);
  if (RemoveOnClose)
    RemoveLauncher();
}

void TForm_Main::RemoveLauncher() {
  if (FRemoverStarted)
    return;
  FRemoverStarted = true;
  StartRemover(AppToStart);
  ReleaseConnection();
}

bool TForm_Main::Closed() { return Application().Terminated(); }

void TForm_Main::NotebookPageChanged(TComponent&) {
  RemoveOnClose = false;
  Application().ProcessMessages();
  const std::string page = Notebook.ActivePage();
  const std::u16string& product = FProduct.ProductName();
  if (page == PageWelcome) {
    mWelcome.SetCaption(FormattedText(u"$(welcome_text)", product));
  } else if (page == PageInstallPath) {
    mInstallPath.SetCaption(FormattedText(u"$(installpath_text)", product));
    if (ePath.Text().empty()) {
      IVoUpdateConfigPtr manifest = CreateUpdateConfig();
      manifest->SetText(FProduct.ManifestText());
      ePath.SetText(ToWide(manifest->GetAppDir()));
    }
  } else if (page == PageDone) {
    mFinished.SetCaption(FormattedText(u"$(finished_text)", product));
    lStartApp.SetCaption(FormattedText(u"$(start_app_title)", product));
  } else if (page == PageUninstall) {
    mUninstall.SetCaption(FormattedText(u"$(uninstall_text)", product));
  } else if (page == PageUninstallDone) {
    RemoveOnClose = true;
    mUninstallFinish.SetCaption(FormattedText(u"$(uninstall_finished_text)", product));
  } else if (page == PageError) {
    mError.SetCaption(ToWide(ErrorText));
  } else if (page == PageUpdate) {
    // The first entry only shows the page; the work starts at the timer's
    // first tick, once the page has been painted.
    if (!Timer.Enabled()) {
      Timer.SetEnabled(true);
      return;
    }
    Timer.SetEnabled(false);
    UpdateNow();
  }
}

void TForm_Main::UpdateNow() {
  std::string app;
  try {
    TWorkSession session({&VoProgressBar1, &VoProgressBar2}, Closed);
    app = RunUpdate(FProduct.ManifestText(), FProduct.Connection(), InstallDir());
    session.Finish();
  } catch (...) {
    // Closed meanwhile: there is no window left to show a failure in, and
    // the next start of the launcher fetches what is still missing.
    if (!Closed())
      throw;
  }
  // The user closed the window: nothing is started.
  if (!Closed())
    StartApplication(app);
  ReleaseConnection();
  Close();
}

void TForm_Main::GoTo(const char* page) { Notebook.SetActivePage(page); }

void TForm_Main::cbLanguageChange(TComponent&) {
  int index = cbLanguage.ItemIndex();
  if (index < 0)
    return;
  Translator()->SetLanguage(ToWide(Translator()->GetLanguage(index)->GetCode()));
}

void TForm_Main::btnLanguageNextClick(TComponent&) {
  if (StartMode == TStartMode::smSetup) {
    FetchProductInfo();
    GoTo(PageWelcome);
  } else if (StartMode == TStartMode::smUninstall) {
    FetchProductInfo();
    GoTo(PageUninstall);
  }
}

void TForm_Main::lInternetSettingsClick(TComponent&) {
  if (ShowInternetSettings())
    CreateConnection();
}

void TForm_Main::btnWelcomePrevClick(TComponent&) { GoTo(PageLanguage); }

void TForm_Main::btnWelcomeNextClick(TComponent&) { GoTo(PageInstallPath); }

void TForm_Main::btnInstallPathPrevClick(TComponent&) { GoTo(PageWelcome); }

void TForm_Main::btnBrowseClick(TComponent&) {
  VoFolderDlg.SetDirectory(FromWide(ePath.Text()));
  if (VoFolderDlg.Execute())
    ePath.SetText(ToWide(VoFolderDlg.Directory()));
}

void TForm_Main::btnInstallPathNextClick(TComponent&) {
  std::string path = FromWide(ePath.Text());
  bool usable = PrepareInstallDir(path);
  ePath.SetText(ToWide(path));
  if (!usable) {
    ShowMessageDialog(u"$(error_title)", u"$(installpath_error)");
    return;
  }
  GoTo(PageInstalling);
  try {
    TWorkSession session({&ProgressBar, &ProgressBar1}, Closed);
    AppToStart = RunInstall(FProduct.ManifestText(), FProduct.Connection(), path);
    session.Finish();
  } catch (...) {
    // Closed meanwhile (see UpdateNow); the installation is registered, and
    // its launcher completes it.
    if (!Closed())
      throw;
    return;
  }
  GoTo(PageDone);
}

void TForm_Main::TimerTimer(TComponent& sender) { NotebookPageChanged(sender); }

void TForm_Main::btnFinishClick(TComponent&) {
  if (cbStartApp.Checked())
    StartApplication(AppToStart);
  ReleaseConnection();
  Close();
}

void TForm_Main::lStartAppClick(TComponent&) { cbStartApp.SetChecked(!cbStartApp.Checked()); }

void TForm_Main::btnUninstallNextClick(TComponent&) {
  {
    TWorkSession session;
    AppToStart = RunUninstall(FProduct.ManifestText(), InstallDir(), cbUninstallAll.Checked());
    session.Finish();
  }
  GoTo(PageUninstallDone);
  // A close that the page's entry let through came before RemoveOnClose was
  // set: the launcher copy goes all the same.
  if (Closed())
    RemoveLauncher();
}

void TForm_Main::lUninstallAllClick(TComponent&) {
  cbUninstallAll.SetChecked(!cbUninstallAll.Checked());
}

void TForm_Main::btnUninstallFinishClick(TComponent&) { Close(); }

void TForm_Main::WorkStarted() { CursorGuard()->BeginBusy(); }

void TForm_Main::WorkFinished() { CursorGuard()->EndBusy(); }

void TForm_Main::LanguageChanged() { SetCaption(Translate(u"$(Installer)")); }
