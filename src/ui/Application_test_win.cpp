#include "ui/Application_win.h"

#include "base/KaText.h"
#include "i18n/KaTranslator.h"
#include "ui/CustomEdit_win.h"
#include "ui/CustomLabel_win.h"
#include "ui/Timer_win.h"
#include "ui/testing/KaTestButton_win.h"
#include "ui/testing/KaUiTesting_win.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// Posts a click straight to a control's own window, for forms whose loop
// runs later (ShowModal, Run).
void PostClick(TWinControl& control) {
  PostMessageW(control.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  PostMessageW(control.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

} // namespace

TEST(ExceptionBoundary, AClickHandlerThatRaisesReachesTheErrorDisplayAndTheProgramGoesOn) {
  TErrorDisplayWatch display;
  TTestForm form;
  TTestButton button(&form, u"Go");
  button.SetBounds(10, 10, 80, 24);
  int clicks = 0;
  button.OnClick = [&](TComponent&) {
    ++clicks;
    throw Exception("$(Broken)!");
  };
  form.HandleNeeded();
  PumpMessages();
  Click(button);
  ASSERT_EQ(display.Messages(), (std::vector<std::string>{"$(Broken)!"}));

  // The same button and the same window still work.
  button.OnClick = [&](TComponent&) {
    ++clicks;
    throw std::runtime_error("plain");
  };
  Click(button);
  button.OnClick = [&](TComponent&) { ++clicks; };
  Click(button);
  EXPECT_EQ(clicks, 3);
  EXPECT_EQ(display.Messages().size(), 2u);
  EXPECT_EQ(display.Messages()[1], "plain");
}

TEST(ExceptionBoundary, TheErrorDisplayIsAMessageBoxWithTitleAndTranslatedMessage) {
  ITranslatorPtr t = Translator();
  t->AddLanguage("zb")->AddText(u"Connection is Out-of-Sync", u"Verbinding loopt uit de pas");
  t->SetLanguage(u"zb");
  Application().SetTitle("Installer");
  TTestForm form;
  TTestButton button(&form, u"Go");
  bool after = false;
  button.OnClick = [&](TComponent&) { throw Exception("$(Connection is Out-of-Sync)!"); };
  form.HandleNeeded();
  PumpMessages();
  {
    TMessageBoxCloser closer(u"Installer");
    Click(button);
    after = true; // the click returned once the box was closed
    EXPECT_TRUE(closer.Seen());
    EXPECT_EQ(closer.Text(), u"Verbinding loopt uit de pas!");
  }
  EXPECT_TRUE(after);
  EXPECT_TRUE(IsWindow(form.Handle()));
}

TEST(ExceptionBoundary, ATimerHandlerThatRaisesIsShownAndTheTimerGoesOn) {
  TErrorDisplayWatch display;
  TTimer timer;
  timer.SetInterval(10);
  int ticks = 0;
  timer.OnTimer = [&](TComponent&) {
    if (++ticks <= 2)
      throw Exception("tick");
  };
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }));
  EXPECT_EQ(display.Messages(), (std::vector<std::string>{"tick", "tick"}));
}

TEST(Timer, ATickWhileTheHandlerStillRunsIsSkipped) {
  TTimer slow;
  slow.SetInterval(10);
  int depth = 0, deepest = 0, calls = 0;
  slow.OnTimer = [&](TComponent&) {
    ++calls;
    deepest = std::max(deepest, ++depth);
    if (calls == 1) {
      // A long handler that keeps the window alive while ticks arrive.
      int others = 0;
      TTimer other;
      other.SetInterval(10);
      other.OnTimer = [&](TComponent&) { ++others; };
      PumpUntil([&] { return others >= 5; });
    }
    --depth;
  };
  PumpUntil([&] { return calls >= 2; });
  slow.SetEnabled(false);
  EXPECT_EQ(deepest, 1);
  EXPECT_GE(calls, 2);
}

TEST(Modal, AModalFormReturnsItsResultAndGivesTheOthersBack) {
  TTestForm main;
  TForm dialog;
  dialog.SetBorderStyle(
      bsNone); // managed windows are slow to hide under Wine without a window manager
  dialog.SetBounds(100, 100, 200, 120);
  TTestButton ok(&dialog, u"OK");
  ok.ModalResult = mrOk;
  bool mainDisabled = false;
  ok.OnClick = [&](TComponent&) { mainDisabled = !IsWindowEnabled(main.Handle()); };
  PostClick(ok);
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_TRUE(mainDisabled);
  EXPECT_TRUE(IsWindowEnabled(main.Handle()));
  EXPECT_FALSE(IsWindowVisible(dialog.Handle()));

  // Closed by its window's close message: cancelled.
  PostMessageW(dialog.Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(dialog.ShowModal(), mrCancel);

  // A form that refuses to close stays in its loop.
  int asked = 0;
  dialog.OnCloseQuery = [&](TComponent&, bool& canClose) { canClose = ++asked > 1; };
  PostMessageW(dialog.Handle(), WM_CLOSE, 0, 0);
  PostMessageW(dialog.Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
  EXPECT_EQ(asked, 2);
}

TEST(Modal, AVisibleFormCannotBeMadeModal) {
  TTestForm main;
  EXPECT_THROW(main.ShowModal(), EInvalidOperation);
}

TEST(Reentrancy, ClosingTheMainFormDuringAHandlerThatPumpsEndsTheProgramAfterTheHandler) {
  Application().Restart();
  std::vector<std::string> log;
  {
    TTestForm main;
    Application().SetMainForm(&main);
    TTestButton button(&main, u"Work");
    button.OnClick = [&](TComponent&) {
      log.push_back("start");
      PostMessageW(main.Handle(), WM_CLOSE, 0, 0);
      // A long procedure keeps the window painted.
      for (int i = 0; i < 5; ++i)
        Application().ProcessMessages();
      log.push_back(IsWindow(main.Handle()) ? "window still there" : "window gone");
      log.push_back(Application().Terminated() ? "ending" : "running");
      button.Invalidate(); // still whole
      log.push_back("end");
    };
    main.OnDestroy = [&](TComponent&) { log.push_back("destroy"); };
    PostClick(button);
    Application().Run();
    EXPECT_FALSE(main.HandleAllocated());
  }
  Application().Restart();
  EXPECT_EQ(log,
            (std::vector<std::string>{"start", "window still there", "ending", "end", "destroy"}));
}

TEST(Application, CreateFormFiresOnCreateAndTheFirstBecomesTheMainForm) {
  struct TCreated : public TForm {
    explicit TCreated(std::vector<std::string>* log) {
      OnCreate = [log](TComponent&) { log->push_back("create"); };
      OnDestroy = [log](TComponent&) { log->push_back("destroy"); };
    }
  };
  std::vector<std::string> log;
  Application().Restart();
  ASSERT_EQ(Application().MainForm(), nullptr);
  TCreated& form = Application().CreateForm<TCreated>(&log);
  EXPECT_EQ(Application().MainForm(), &form);
  EXPECT_EQ(log, (std::vector<std::string>{"create"}));
  form.HandleNeeded();
  Application().Terminate();
  Application().Run();
  EXPECT_EQ(log, (std::vector<std::string>{"create", "destroy"}));
  EXPECT_EQ(Application().MainForm(), nullptr);
  Application().Restart();
}

TEST(Application, DestroyFormsEndsTheFormsOfAProgramThatRunsNoLoop) {
  struct TCreated : public TForm {
    explicit TCreated(std::vector<std::string>* log) {
      OnDestroy = [log](TComponent&) { log->push_back("destroy"); };
    }
  };
  std::vector<std::string> log;
  Application().Restart();
  TCreated& form = Application().CreateForm<TCreated>(&log);
  form.HandleNeeded();
  Application().DestroyForms();
  EXPECT_EQ(log, (std::vector<std::string>{"destroy"}));
  EXPECT_EQ(Application().MainForm(), nullptr);
}

TEST(DialogKeys, EnterAndEscapeClickTheDefaultAndCancelButtons) {
  TTestForm form;
  TCustomEdit edit(&form);
  edit.SetBounds(10, 10, 100, 21);
  TTestButton ok(&form, u"OK"), cancel(&form, u"Cancel");
  ok.SetBounds(10, 40, 80, 24);
  cancel.SetBounds(100, 40, 80, 24);
  ok.Default = true;
  cancel.Cancel = true;
  std::string clicked;
  ok.OnClick = [&](TComponent&) { clicked += "ok "; };
  cancel.OnClick = [&](TComponent&) { clicked += "cancel "; };
  form.HandleNeeded();
  edit.SetFocus();
  PumpMessages();
  ASSERT_TRUE(edit.Focused());
  PressKey(VK_RETURN);
  PressKey(VK_ESCAPE);
  EXPECT_EQ(clicked, "ok cancel ");
  EXPECT_EQ(edit.Text(), u""); // the edit never saw them

  // A default button whose handler raises: the key comes from the message
  // loop, outside any window procedure, and has its own boundary.
  TErrorDisplayWatch display;
  ok.OnClick = [&](TComponent&) { throw Exception("$(not now)"); };
  PressKey(VK_RETURN);
  PressKey(VK_ESCAPE);
  EXPECT_EQ(display.Messages(), (std::vector<std::string>{"$(not now)"}));
  EXPECT_EQ(clicked, "ok cancel cancel ");
}

TEST(DialogKeys, TabFollowsTheTabOrderAndSkipsWhatCannotTakeTheFocus) {
  TTestForm form;
  TTestButton a(&form, u"A"), b(&form, u"B"), c(&form, u"C"), d(&form, u"D");
  c.SetEnabled(false);
  a.SetTabOrder(3); // a last: b, c, d, a
  form.HandleNeeded();
  b.SetFocus();
  PumpMessages();
  PressKey(VK_TAB);
  EXPECT_TRUE(d.Focused());
  PressKey(VK_TAB);
  EXPECT_TRUE(a.Focused());
  PressKey(VK_TAB);
  EXPECT_TRUE(b.Focused());
  EXPECT_EQ(form.ActiveControl(), &b);
}

TEST(DialogKeys, AcceleratorsClickButtonsAndFocusTheLabelsControls) {
  TTestForm form;
  TTestButton next(&form, u"&Next");
  next.SetBounds(10, 40, 80, 24);
  TCustomEdit edit(&form);
  edit.SetBounds(10, 80, 100, 21);
  TCustomLabel label(&form);
  label.SetCaption(u"&Path");
  label.SetFocusControl(&edit);
  int clicks = 0;
  next.OnClick = [&](TComponent&) { ++clicks; };
  form.HandleNeeded();
  next.SetFocus();
  PumpMessages();
  PressAltChar(u'n');
  EXPECT_EQ(clicks, 1);
  PressAltChar(u'P');
  EXPECT_TRUE(edit.Focused());
  PressAltChar(u'x');
  EXPECT_EQ(clicks, 1);
}

TEST(Manifest, TheProgramRunsWithVersionSixOfTheCommonControls) {
  // The manifest's dependency redirects comctl32.dll to the version 6
  // assembly for the whole process; without it nothing is redirected.
  ACTCTX_SECTION_KEYED_DATA data{};
  data.cbSize = sizeof data;
  EXPECT_TRUE(FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                       L"comctl32.dll", &data));
}
