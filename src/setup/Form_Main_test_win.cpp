#include "setup/Form_Main_win.h"

#include "base/KaFiles.h"
#include "base/KaRegistry.h"
#include "base/KaStreams.h"
#include "base/KaText.h"
#include "i18n/BuiltInTexts.h"
#include "i18n/KaTranslator.h"
#include "model/testing/VoTesting.h"
#include "net/testing/KaNetTesting.h"
#include "setup/UninstallEntry.h"
#include "setup/VoMessageForm_win.h"
#include "setup/testing/FormTesting_win.h"
#include "ui/Application_win.h"
#include "ui/testing/KaUiTesting_win.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const std::string AppName = "websetup-tests Wizard";

std::string Manifest(const std::string& appDir = "C:\\Demo App\\") {
  return "[installer]\r\nappName=" + AppName + "\r\nappDir=" + appDir +
         "\r\npayloadName=bin\\demo.exe\r\n\r\n[files]\r\n|=\r\n|:*\r\n|x\r\n\r\n";
}

std::string Request(const std::string& command) {
  return WireString(std::string(32, '-')) + '\0' + WireString(command);
}

class MainFormTest : public testing::Test {
protected:
  MainFormTest() {
    RegisterTexts();
    Settings.Write("lib", THTTPScript::LibName);
    Script.Reset();
    RememberedLanguage().clear();
    InstallDir().clear();
  }
  ~MainFormTest() override {
    if (Form)
      Form->RemoveOnClose = false; // no remover from a test
    Form.reset();
    Application().SetMainForm(nullptr);
    Application().Restart();
    RememberedLanguage().clear();
    InstallDir().clear();
    Translator()->SetLanguage(u"nl");
  }

  void AnswerProduct(const std::u16string& name, const std::string& manifest) {
    Script.Answers.push_back({200, AnswerBody(0, 0, 0, ""), std::nullopt});
    Script.Answers.push_back(
        {200, AnswerBody(0, 0, 0, "", WireString(WideToUtf8(name)) + WireString(manifest)),
         std::nullopt});
  }
  void AnswerFailure() { Script.Answers.push_back({200, "", std::string("no route to host")}); }

  // Made and shown as the program entry does it.
  TForm_Main& Open(TStartMode mode, const std::function<void(TForm_Main&)>& before = {}) {
    Form = std::make_unique<TForm_Main>("updates.example:8080");
    Application().SetMainForm(Form.get());
    Form->DoCreate();
    Form->StartMode = mode;
    if (before)
      before(*Form);
    Form->Show();
    PumpMessages();
    return *Form;
  }

  std::string Page() const { return Form->Notebook.ActivePage(); }

  // The width a title label has with the given text.
  int TitleWidth(const std::u16string& text) {
    TVoLabel probe(&Form->pgLanguage);
    probe.SetFont(Form->lLanguage.Font());
    probe.SetCaption(text);
    return probe.Width();
  }
  int LineWidth(const std::u16string& text) {
    TVoLabel probe(&Form->pgLanguage);
    probe.SetCaption(text);
    return probe.Width();
  }

  TInternetSettingsScope Settings;
  THTTPScript& Script = HTTPScript();
  std::unique_ptr<TForm_Main> Form;
};

TEST_F(MainFormTest, TheDesign) {
  // The launcher that finds nothing to fetch never shows the form: made, it
  // has no window yet, and it is centred when it first shows.
  TForm_Main& f = Open(TStartMode::smSetup, [](TForm_Main& made) {
    EXPECT_FALSE(made.HandleAllocated());
    EXPECT_FALSE(made.btnLanguageNext.HandleAllocated());
  });
  EXPECT_EQ(f.ClientWidth(), 499);
  EXPECT_EQ(f.ClientHeight(), 360);
  RECT area;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  EXPECT_EQ(f.Left(), area.left + (area.right - area.left - f.Width()) / 2);
  EXPECT_EQ(f.Top(), area.top + (area.bottom - area.top - f.Height()) / 2);
  EXPECT_EQ(f.VoFormModifier.Caption(), u"$(Installer)");
  EXPECT_FALSE(f.VoFormModifier.MinMaxVisible());
  EXPECT_FALSE(f.VoFormModifier.ResizeEnabled());
  EXPECT_EQ(f.Timer.Interval(), 250u);
  EXPECT_FALSE(f.Timer.Enabled());

  const char* pages[] = {"Language",  "Welcome",        "InstallPath", "Installing", "Done",
                         "Uninstall", "Uninstall Done", "Error",       "Update"};
  ASSERT_EQ(f.Notebook.PageCount(), 9);
  for (int i = 0; i < 9; ++i)
    EXPECT_EQ(f.Notebook.Page(i).Caption(), pages[i]);

  // Every page shows the one background picture, shared.
  ASSERT_NE(f.imgLogo.Picture(), nullptr);
  EXPECT_EQ(f.imgLogo.Picture()->Width(), 500);
  for (TImage* image : {&f.imgLogo3, &f.imgLogo6, &f.imgLogo10})
    EXPECT_EQ(image->Picture(), f.imgLogo.Picture());

  EXPECT_EQ(f.lLanguage.BoundsRect().TopLeft(), (TPoint{144, 112}));
  EXPECT_EQ(f.lLanguage.Font().Height, -19);
  EXPECT_EQ(f.lLanguage.Font().Style, fsBold);
  EXPECT_EQ(f.lDutch.BoundsRect().TopLeft(), (TPoint{144, 144}));
  EXPECT_EQ(f.lEnglish.BoundsRect().TopLeft(), (TPoint{144, 160}));
  EXPECT_FALSE(f.lGerman.Visible());
  EXPECT_EQ(f.cbLanguage.BoundsRect(), Bounds(144, 176, 124, 21));
  for (TVoLabel* link : {&f.lInternetSettings, &f.lInternetSettings2}) {
    EXPECT_EQ(link->BoundsRect().TopLeft(), (TPoint{144, 272}));
    EXPECT_EQ(link->Font().Color, 0x800000u);
    EXPECT_EQ(link->Font().Style, fsUnderline);
    EXPECT_EQ(link->Cursor(), crHandPoint);
  }
  EXPECT_EQ(f.btnLanguageNext.BoundsRect(), Bounds(384, 304, 94, 20));
  EXPECT_EQ(f.btnWelcomePrev.BoundsRect(), Bounds(284, 304, 94, 20));
  EXPECT_EQ(f.mWelcome.BoundsRect().TopLeft(), (TPoint{144, 144}));
  EXPECT_EQ(f.mWelcome.Width(), 329);
  EXPECT_EQ(f.ePath.BoundsRect(), Bounds(144, 240, 334, 21));
  EXPECT_EQ(f.lPath.Left(), 144);
  EXPECT_EQ(f.lPath.Top() + f.lPath.Height() + 4, 240); // above the edit
  EXPECT_EQ(f.btnBrowse.BoundsRect(), Bounds(384, 264, 94, 20));
  EXPECT_EQ(f.ProgressBar.BoundsRect(), Bounds(144, 144, 329, 20));
  EXPECT_EQ(f.ProgressBar.WorkID(), 11);
  EXPECT_EQ(f.ProgressBar1.WorkID(), 1);
  EXPECT_EQ(f.VoProgressBar1.WorkID(), 11);
  EXPECT_EQ(f.VoProgressBar2.BoundsRect(), Bounds(144, 168, 329, 20));
  EXPECT_TRUE(f.cbStartApp.Checked());
  EXPECT_TRUE(f.cbUninstallAll.Checked());
  EXPECT_EQ(f.lUninstallAll.BoundsRect().TopLeft(), (TPoint{160, 226}));
  EXPECT_EQ(f.lUninstallAll.Width(), 313);
  EXPECT_EQ(f.mError.BoundsRect().TopLeft(), (TPoint{144, 136}));

  // Every caption of the design names texts that the tables hold, also the
  // captions that page entry replaces.
  int captions = 0;
  for (int i = 0; i < f.Notebook.PageCount(); ++i)
    for (TControl* control : f.Notebook.Page(i).Controls()) {
      std::u16string caption;
      if (auto* label = dynamic_cast<TVoLabel*>(control))
        caption = label->Caption();
      else if (auto* button = dynamic_cast<TVoButton*>(control))
        caption = button->Caption();
      else
        continue;
      ++captions;
      EXPECT_EQ(Translate(caption).find(u"$["), std::u16string::npos) << FromWide(caption);
    }
  EXPECT_GT(captions, 30);

  // The form created its connection; nothing was asked yet.
  ASSERT_NE(f.Product().Connection(), nullptr);
  EXPECT_EQ(f.Product().Connection()->GetHost(), "updates.example:8080");
  EXPECT_FALSE(f.Product().ProductInfoValid());
  EXPECT_TRUE(Script.Posts.empty());
}

TEST_F(MainFormTest, ARememberedEnglishInCapitalsIsEnglishFromTheFirstPaint) {
  RememberedLanguage() = "EN";
  TForm_Main& f = Open(TStartMode::smSetup);
  EXPECT_EQ(Page(), "Language");
  EXPECT_EQ(f.cbLanguage.Items(), (std::vector<std::u16string>{u"Nederlands", u"English"}));
  EXPECT_EQ(f.cbLanguage.ItemIndex(), 1);
  EXPECT_EQ(f.VoFormModifier.CaptionText(), u"Install Program");
  EXPECT_EQ(f.Caption(), u"Install Program");
  EXPECT_EQ(f.lLanguage.Width(), TitleWidth(u"Language"));
  // The two prompts are the same in every language.
  EXPECT_EQ(f.lDutch.Width(), LineWidth(u"Kies uw taal..."));
}

TEST_F(MainFormTest, ARememberedLanguageThatIsNotOursFallsBackToDutch) {
  RememberedLanguage() = "de";
  TErrorDisplayWatch display;
  TForm_Main& f = Open(TStartMode::smSetup);
  EXPECT_TRUE(display.Messages().empty());
  EXPECT_EQ(f.cbLanguage.ItemIndex(), 0);
  EXPECT_EQ(f.VoFormModifier.CaptionText(), u"Installatie Programma");
  EXPECT_EQ(Page(), "Language");
}

TEST_F(MainFormTest, ChoosingALanguageTranslatesEveryPageAtOnce) {
  TForm_Main& f = Open(TStartMode::smSetup);
  EXPECT_EQ(f.lWelcome.Width(), TitleWidth(u"Welkom"));
  EXPECT_EQ(f.lPath.Width(), LineWidth(u"Installatie map"));
  // The user picks the second entry with the keyboard.
  f.cbLanguage.SetFocus();
  PumpMessages();
  PressKey(VK_DOWN);
  EXPECT_EQ(f.cbLanguage.ItemIndex(), 1);
  EXPECT_EQ(Translator()->GetCurrent()->GetCode(), "en");
  // Pages not yet shown have their new texts measured already.
  EXPECT_EQ(f.lWelcome.Width(), TitleWidth(u"Welcome"));
  EXPECT_EQ(f.lPath.Width(), LineWidth(u"Install Path"));
  EXPECT_EQ(f.lUninstallFinish.Width(), TitleWidth(u"Uninstall finished!"));
  EXPECT_EQ(f.lLanguage.Width(), TitleWidth(u"Language"));
  EXPECT_EQ(f.Caption(), u"Install Program");
  // The label above the path still stands above its edit with its new size.
  EXPECT_EQ(f.lPath.Top() + f.lPath.Height() + 4, 240);
}

TEST_F(MainFormTest, WalkingToThePathAndBackKeepsThePathAndAsksOnce) {
  AnswerProduct(u"Voorbeeld Notities", Manifest());
  TForm_Main& f = Open(TStartMode::smSetup);
  Click(f.btnLanguageNext);
  ASSERT_EQ(Page(), "Welcome");
  ASSERT_EQ(Script.Posts.size(), 2u);
  EXPECT_EQ(Script.Posts[0].Body, Request("hi!"));
  EXPECT_EQ(Script.Posts[1].Body, Request("admin:getProductInfo"));
  EXPECT_NE(f.mWelcome.Caption().find(u"om Voorbeeld Notities te installeren"),
            std::u16string::npos);

  Click(f.btnWelcomeNext);
  ASSERT_EQ(Page(), "InstallPath");
  EXPECT_EQ(f.ePath.Text(), u"C:\\Demo App\\");
  const std::u16string& text = f.mInstallPath.Caption();
  size_t first = text.find(u"Voorbeeld Notities");
  ASSERT_NE(first, std::u16string::npos);
  EXPECT_NE(text.find(u"Voorbeeld Notities", first + 1), std::u16string::npos);

  f.ePath.SetText(u"D:\\Elsewhere");
  Click(f.btnInstallPathPrev);
  EXPECT_EQ(Page(), "Welcome");
  Click(f.btnWelcomeNext);
  EXPECT_EQ(Page(), "InstallPath");
  EXPECT_EQ(f.ePath.Text(), u"D:\\Elsewhere");

  Click(f.btnInstallPathPrev);
  Click(f.btnWelcomePrev);
  EXPECT_EQ(Page(), "Language");
  Click(f.btnLanguageNext);
  EXPECT_EQ(Page(), "Welcome");
  EXPECT_EQ(Script.Posts.size(), 2u) << "no second request after a success";
}

TEST_F(MainFormTest, AFailedRequestIsShownAndChangedSettingsGiveANewSession) {
  AnswerFailure();
  TErrorDisplayWatch display;
  TForm_Main& f = Open(TStartMode::smSetup);
  Click(f.btnLanguageNext);
  EXPECT_EQ(Page(), "Language");
  ASSERT_EQ(display.Messages().size(), 1u);
  EXPECT_NE(display.Messages()[0].find("no route to host"), std::string::npos);
  EXPECT_FALSE(f.Product().ProductInfoValid());

  // Cancel keeps the connection; OK makes a new one.
  IConnectionPtr first = f.Product().Connection();
  TOnModal cancel([](TForm& dialog) { PressKey(VK_ESCAPE); });
  Click(f.lInternetSettings);
  ASSERT_TRUE(cancel.Done());
  EXPECT_EQ(f.Product().Connection(), first);
  TOnModal ok([](TForm& dialog) { PressKey(VK_RETURN); });
  Click(f.lInternetSettings);
  ASSERT_TRUE(ok.Done());
  EXPECT_NE(f.Product().Connection(), first);

  // The dialog stored Indy; the test's own back end again for the request.
  Settings.Write("lib", THTTPScript::LibName);
  const int clients = Script.Created;
  const size_t sent = Script.Posts.size();
  AnswerProduct(u"Demo", Manifest());
  Click(f.btnLanguageNext);
  EXPECT_EQ(Page(), "Welcome");
  EXPECT_EQ(Script.Created, clients + 1);
  ASSERT_EQ(Script.Posts.size(), sent + 2);
  EXPECT_EQ(Script.Posts[sent].Body, Request("hi!"));
  EXPECT_EQ(display.Messages().size(), 1u);
}

TEST_F(MainFormTest, TheErrorPageShowsItsTextAndTheLink) {
  TForm_Main& f =
      Open(TStartMode::smError, [](TForm_Main& form) { form.ErrorText = "$(productinfo_error)"; });
  EXPECT_EQ(Page(), "Error");
  EXPECT_EQ(f.mError.Caption(), u"$(productinfo_error)");
  EXPECT_TRUE(f.lInternetSettings2.Visible());
  TOnModal ok([](TForm& dialog) { PressKey(VK_RETURN); });
  IConnectionPtr first = f.Product().Connection();
  Click(f.lInternetSettings2);
  ASSERT_TRUE(ok.Done());
  EXPECT_NE(f.Product().Connection(), first);
  EXPECT_EQ(Page(), "Error");
}

TEST_F(MainFormTest, TheUninstallerAsksFirstAndFallsBackToTheLanguagePage) {
  AnswerFailure();
  TErrorDisplayWatch display;
  TForm_Main& f = Open(TStartMode::smUninstall);
  EXPECT_EQ(display.Messages().size(), 1u);
  EXPECT_EQ(Page(), "Language");
  AnswerProduct(u"Demo", Manifest());
  Click(f.btnLanguageNext);
  EXPECT_EQ(Page(), "Uninstall");
  EXPECT_EQ(f.mUninstall.Caption().substr(0, 34), u"De installatie wizard zal Demo ver");
  Click(f.lUninstallAll);
  EXPECT_FALSE(f.cbUninstallAll.Checked());
}

TEST_F(MainFormTest, TheBusyCursorShowsWhileAnyLevelIsOpen) {
  Open(TStartMode::smSetup);
  Work().BeginWork(0, 0);
  EXPECT_EQ(ScreenCursor(), crHourGlass);
  Work().BeginWork(1, 100);
  Work().EndWork();
  EXPECT_EQ(ScreenCursor(), crHourGlass);
  Work().EndWork();
  EXPECT_EQ(ScreenCursor(), crDefault);
  Form.reset();
  Work().BeginWork(0, 0); // nobody is told any more
  EXPECT_EQ(ScreenCursor(), crDefault);
  Work().EndWork();
}

TEST_F(MainFormTest, TheUpdateStartsAtTheTimersFirstTick) {
  TScratchDir dir;
  InstallDir() = dir.Path;
  AnswerProduct(u"Demo", Manifest());
  TForm_Main& f = Open(TStartMode::smUpdate, [](TForm_Main& form) { form.FetchProductInfo(); });
  EXPECT_EQ(Page(), "Update");
  EXPECT_TRUE(f.Timer.Enabled());
  EXPECT_NE(f.Product().Connection(), nullptr);
  ASSERT_TRUE(PumpUntil([&] { return Application().Terminated(); }, 30000));
  EXPECT_FALSE(f.Timer.Enabled());
  EXPECT_EQ(f.Product().Connection(), nullptr);
  EXPECT_EQ(Script.Posts.size(), 2u); // an empty file list fetches nothing
}

TEST_F(MainFormTest, AnUnusablePathIsRefusedWithTheMessageDialog) {
  AnswerProduct(u"Demo", Manifest("C:\\bad|name"));
  TForm_Main& f = Open(TStartMode::smSetup);
  Click(f.btnLanguageNext);
  Click(f.btnWelcomeNext);
  ASSERT_EQ(Page(), "InstallPath");
  std::u16string title, text;
  TOnModal seen([&](TForm& dialog) {
    auto& box = dynamic_cast<TVoMessageForm&>(dialog);
    title = box.FormModifier.Caption();
    text = box.lMessage.Caption();
    Click(box.btnOK);
  });
  Click(f.btnInstallPathNext);
  ASSERT_TRUE(seen.Done());
  EXPECT_EQ(title, u"$(error_title)");
  EXPECT_EQ(text, u"$(installpath_error)");
  EXPECT_EQ(Page(), "InstallPath");
  EXPECT_EQ(f.ePath.Text(), u"C:\\bad|name\\");
}

TEST_F(MainFormTest, InstallAndUninstallGoThroughTheirPages) {
  TScratchDir dir;
  const std::string target = dir.Path + "Wizard App\\";
  UnregisterUninstall(AppName);
  AnswerProduct(u"Demo", Manifest(target));
  TForm_Main& f = Open(TStartMode::smSetup);
  std::vector<std::string> pages;
  TNotifyEvent entry = f.Notebook.OnPageChanged;
  f.Notebook.OnPageChanged = [&](TComponent& sender) {
    pages.push_back(Page());
    entry(sender);
  };
  Click(f.btnLanguageNext);
  Click(f.btnWelcomeNext);
  Click(f.btnInstallPathNext);
  EXPECT_EQ(pages, (std::vector<std::string>{"Welcome", "InstallPath", "Installing", "Done"}));
  EXPECT_EQ(f.AppToStart, target + "bin\\demo.exe");
  EXPECT_TRUE(FileExists(target + AppName + ".exe"));
  EXPECT_EQ(f.lStartApp.Caption(), u"Start Demo");
  EXPECT_FALSE(f.ProgressBar.ObservingWork());
  Click(f.lStartApp);
  EXPECT_FALSE(f.cbStartApp.Checked());
  Click(f.btnFinish);
  EXPECT_EQ(f.Product().Connection(), nullptr);
  EXPECT_TRUE(Application().Terminated());
  Application().Restart();

  // The uninstaller of that installation.
  InstallDir() = target;
  Form.reset();
  Script.Reset();
  AnswerProduct(u"Demo", Manifest(target));
  TForm_Main& u = Open(TStartMode::smUninstall);
  ASSERT_EQ(Page(), "Uninstall");
  Click(u.btnUninstallNext);
  EXPECT_EQ(Page(), "Uninstall Done");
  EXPECT_TRUE(u.RemoveOnClose);
  EXPECT_EQ(u.AppToStart, target + AppName + ".exe");
  EXPECT_FALSE(FileExists(target + AppName + ".lng"));
  UnregisterUninstall(AppName);
}

// The window closed while the install runs: the program ends with no error
// shown, no file begun after the close, and the installation registered so
// that its launcher completes it.
TEST_F(MainFormTest, ClosingTheWindowDuringTheInstallStopsBetweenFiles) {
  TScratchDir dir;
  const std::string target = dir.Path + "Closed App\\";
  UnregisterUninstall(AppName);
  auto listed = [](int id, const std::string& name) {
    return "|-" + std::to_string(id) + ",9,1,00000000000000000,0," + name + "\r\n";
  };
  AnswerProduct(u"Demo", "[installer]\r\nappName=" + AppName + "\r\nappDir=" + target +
                             "\r\npayloadName=a.txt\r\n\r\n[files]\r\n|=\r\n|:*\r\n" +
                             listed(1, "a.txt") + listed(2, "b.txt") + listed(3, "c.txt") +
                             "|x\r\n\r\n");
  std::vector<std::string> errors;
  Application().OnException = [&](const std::string& message) { errors.push_back(message); };
  TForm_Main& f = Open(TStartMode::smSetup);
  Click(f.btnLanguageNext);
  Click(f.btnWelcomeNext);
  ASSERT_EQ(Page(), "InstallPath");
  // The close arrives once the Installing page lets messages through.
  TNotifyEvent entry = f.Notebook.OnPageChanged;
  f.Notebook.OnPageChanged = [&](TComponent& sender) {
    if (Page() == "Installing")
      PostMessageW(f.Handle(), WM_CLOSE, 0, 0);
    entry(sender);
  };
  Click(f.btnInstallPathNext);
  Application().OnException = nullptr;
  EXPECT_TRUE(errors.empty()) << errors.front();
  EXPECT_TRUE(Application().Terminated());
  EXPECT_FALSE(f.Visible()) << "the window went at the close";
  EXPECT_EQ(Page(), "Installing");
  EXPECT_EQ(Script.Posts.size(), 2u) << "no file was asked for";
  EXPECT_TRUE(FileExists(target + AppName + ".exe"));
  EXPECT_TRUE(FileExists(target + AppName + ".lng"));
  EXPECT_FALSE(FileExists(target + "a.txt"));
  EXPECT_FALSE(f.ProgressBar.ObservingWork());
  EXPECT_EQ(ScreenCursor(), crDefault);
  TRegistry registry(TRootKey::rkLocalMachine);
  EXPECT_TRUE(registry.KeyExists(UninstallKeyRoot + AppName)) << "the entry removes it";
  UnregisterUninstall(AppName);
}

// Every page in both languages as the user sees it, for looking at; and the
// texts fit their places.
TEST_F(MainFormTest, Screenshots) {
  ForceDirectories("screens");
  AnswerProduct(u"Voorbeeld Notities", Manifest());
  TForm_Main& f = Open(TStartMode::smSetup);
  f.FetchProductInfo();
  f.ErrorText = "$(productinfo_error)";
  f.ProgressBar.SetPosition(40);
  f.ProgressBar1.SetPosition(85);
  f.VoProgressBar1.SetPosition(60);
  f.VoProgressBar2.SetPosition(25);
  for (const char* language : {"nl", "en"}) {
    // Chosen as the user chooses, so that the box shows the language too.
    f.cbLanguage.SetItemIndex(std::string(language) == "nl" ? 0 : 1);
    f.cbLanguageChange(f.cbLanguage);
    ASSERT_EQ(Translator()->GetCurrent()->GetCode(), language);
    for (int i = 0; i < f.Notebook.PageCount(); ++i) {
      f.Notebook.SetPageIndex(i);
      f.Timer.SetEnabled(false); // the Update page shows, it does not update
      std::string name = f.Notebook.Page(i).Caption();
      for (char& c : name)
        c = c == ' ' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      SaveScreenshot(f, std::string("screens\\wizard_") + language + "_" + name + ".png");
    }
    // Titles and one-line texts end inside the window, and the texts end
    // above what follows them.
    for (TVoLabel* label : {&f.lLanguage, &f.lWelcome, &f.lInstallPath, &f.lInstalling,
                            &f.lFinished, &f.lUnInstall, &f.lUninstallFinish, &f.lError,
                            &f.lUpdating, &f.lStartApp, &f.lPath, &f.lInternetSettings})
      EXPECT_LE(label->Left() + label->Width(), 478) << FromWide(label->Caption());
    struct {
      TVoLabel& Text;
      int Below;
    } texts[] = {{f.mWelcome, 304},   {f.mInstallPath, f.lPath.Top()}, {f.mFinished, 264},
                 {f.mUninstall, 224}, {f.lUninstallAll, 304},          {f.mUninstallFinish, 304},
                 {f.mError, 272}};
    for (const auto& t : texts) {
      EXPECT_GT(t.Text.Height(), 13) << FromWide(t.Text.Caption());
      EXPECT_LE(t.Text.Top() + t.Text.Height(), t.Below) << FromWide(t.Text.Caption());
    }
  }
  f.RemoveOnClose = false;
}

} // namespace
