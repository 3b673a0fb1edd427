#include "setup/VoInternetForm_win.h"

#include "base/KaFiles.h"
#include "base/KaRegistry.h"
#include "net/KaHTTP.h"
#include "net/testing/KaNetTesting.h"
#include "setup/testing/FormTesting_win.h"
#include "ui/testing/KaUiTesting_win.h"

#include <gtest/gtest.h>

namespace {

std::string Stored(const std::string& name) {
  TRegistry reg(TRootKey::rkLocalMachine);
  if (!reg.OpenKeyReadOnly(InternetSettingsKey))
    return "<no key>";
  return reg.ValueExists(name) ? reg.ReadString(name) : "<none>";
}

uint32_t StoredPort() {
  TRegistry reg(TRootKey::rkLocalMachine);
  reg.OpenKeyReadOnly(InternetSettingsKey);
  return reg.ReadInteger("proxy-port");
}

struct TFields {
  bool Proxy, Port, UserName, Password;
  bool operator==(const TFields&) const = default;
};

TFields Enabled(const TVoInternetForm& f) {
  return {f.eProxy.Enabled(), f.ePort.Enabled(), f.eUsername.Enabled(), f.ePassword.Enabled()};
}

TEST(InternetForm, TheDesignAndItsFrame) {
  TInternetSettingsScope scope;
  TVoInternetForm form;
  form.HandleNeeded();
  EXPECT_EQ(form.Width(), 393);
  EXPECT_EQ(form.Height(), 349);
  EXPECT_EQ(form.Color(), 0xFFFFFFu);
  ASSERT_NE(form.Frame(), nullptr);
  EXPECT_EQ(form.Frame()->Caption(), u"$(Internet Settings)");
  EXPECT_FALSE(form.Frame()->MinMaxVisible());
  EXPECT_FALSE(form.Frame()->ResizeEnabled());
  EXPECT_EQ(form.rbManual.Left(), 8);
  EXPECT_EQ(form.rbManual.Top(), 156);
  EXPECT_EQ(form.eProxy.BoundsRect(), Bounds(104, 180, 153, 21));
  EXPECT_EQ(form.ePort.BoundsRect(), Bounds(296, 180, 73, 21));
  EXPECT_EQ(form.ePassword.BoundsRect(), Bounds(64, 244, 153, 21));
  // The labels stand left of their fields, as the layout manager puts them.
  EXPECT_EQ(form.lProxy.Left() + form.lProxy.Width() + 4, 104);
  EXPECT_EQ(form.lProxy.Top(), 184);
  EXPECT_EQ(form.lUsername.Left() + form.lUsername.Width() + 4, 64);
  EXPECT_EQ(form.pBottom.Height(), 34);
  EXPECT_EQ(form.pBottom.Top() + 34, form.ClientHeight());
  EXPECT_TRUE(form.btnOK.Default());
  EXPECT_TRUE(form.bntCancel.Cancel());
  // Nothing stored: Indy, detected proxy, empty fields, port 0.
  EXPECT_TRUE(form.rbIndy.Checked());
  EXPECT_TRUE(form.rbAutoDetect.Checked());
  EXPECT_EQ(form.ePort.Text(), u"0");
  EXPECT_EQ(form.eProxy.Text(), u"");
  EXPECT_EQ(Enabled(form), (TFields{false, false, true, true}));
}

TEST(InternetForm, StoredLibrariesAreMatchedExactly) {
  struct TCase {
    const char* Lib;
    TVoRadioButton TVoInternetForm::*Checked;
  } cases[] = {{"Indy", &TVoInternetForm::rbIndy},       {"indy", &TVoInternetForm::rbIndy},
               {"wininet", &TVoInternetForm::rbIndy},    {"WinInet", &TVoInternetForm::rbWinInet},
               {"libcurl", &TVoInternetForm::rbLibCurl}, {"LIBCURL", &TVoInternetForm::rbIndy}};
  for (const TCase& c : cases) {
    TInternetSettingsScope scope;
    scope.Write("lib", c.Lib);
    TVoInternetForm form;
    EXPECT_TRUE((form.*c.Checked).Checked()) << c.Lib;
    int checked = form.rbIndy.Checked() + form.rbLibCurl.Checked() + form.rbWinInet.Checked();
    EXPECT_EQ(checked, 1) << c.Lib;
  }
}

TEST(InternetForm, StoredMethodsCheckTheirButtonAndEnableTheFields) {
  struct TCase {
    const char* Method;
    TVoRadioButton TVoInternetForm::*Checked;
    TFields Fields;
  } cases[] = {
      {"manual", &TVoInternetForm::rbManual, {true, true, true, true}},
      {"Manual", &TVoInternetForm::rbAutoDetect, {false, false, true, true}},
      {"direct", &TVoInternetForm::rbDirect, {false, false, false, false}},
      {"auto", &TVoInternetForm::rbAutoDetect, {false, false, true, true}},
      {"proxy", &TVoInternetForm::rbAutoDetect, {false, false, true, true}},
  };
  for (const TCase& c : cases) {
    TInternetSettingsScope scope;
    scope.Write("method", c.Method);
    scope.Write("proxy-host", "proxy.example");
    scope.Write("proxy-port", uint32_t{3128});
    scope.Write("proxy-username", "user");
    scope.Write("proxy-password", "secret");
    TVoInternetForm form;
    EXPECT_TRUE((form.*c.Checked).Checked()) << c.Method;
    EXPECT_EQ(Enabled(form), c.Fields) << c.Method;
    EXPECT_EQ(form.eProxy.Text(), u"proxy.example");
    EXPECT_EQ(form.ePort.Value(), 3128);
    EXPECT_EQ(form.eUsername.Text(), u"user");
    EXPECT_EQ(form.ePassword.Text(), u"secret");
  }
}

TEST(InternetForm, ClickingTheMethodsEnablesTheFields) {
  TInternetSettingsScope scope;
  TVoInternetForm form;
  form.Show();
  PumpMessages();
  Click(form.rbDirect);
  EXPECT_TRUE(form.rbDirect.Checked());
  EXPECT_FALSE(form.rbAutoDetect.Checked());
  EXPECT_EQ(Enabled(form), (TFields{false, false, false, false}));
  Click(form.rbManual);
  EXPECT_EQ(Enabled(form), (TFields{true, true, true, true}));
  Click(form.rbAutoDetect);
  EXPECT_EQ(Enabled(form), (TFields{false, false, true, true}));
  // The library group is a group of its own.
  Click(form.rbWinInet);
  EXPECT_TRUE(form.rbAutoDetect.Checked());
  EXPECT_FALSE(form.rbIndy.Checked());
}

TEST(InternetForm, OkWritesEveryValueTrimmedAlsoFromDisabledFields) {
  TInternetSettingsScope scope;
  TOnModal act([](TForm& f) {
    auto& form = dynamic_cast<TVoInternetForm&>(f);
    Click(form.rbManual);
    form.eProxy.SetText(u"  proxy.example  ");
    form.ePort.SetValue(8080);
    form.eUsername.SetText(u"\tuser ");
    form.ePassword.SetText(u" pass word ");
    Click(form.rbLibCurl);
    ForceDirectories("screens");
    SaveScreenshot(form, "screens\\internet_settings.png");
    Click(form.rbDirect); // the fields go grey and keep their texts
    SaveScreenshot(form, "screens\\internet_settings_direct.png");
    Click(form.btnOK);
  });
  EXPECT_TRUE(ShowInternetSettings());
  ASSERT_TRUE(act.Done());
  EXPECT_EQ(Stored("lib"), "libcurl");
  EXPECT_EQ(Stored("method"), "direct");
  EXPECT_EQ(Stored("proxy-host"), "proxy.example");
  EXPECT_EQ(StoredPort(), 8080u);
  EXPECT_EQ(Stored("proxy-username"), "user");
  EXPECT_EQ(Stored("proxy-password"), "pass word");

  // Shown again, the dialog reads what it wrote.
  TVoInternetForm again;
  EXPECT_TRUE(again.rbLibCurl.Checked());
  EXPECT_TRUE(again.rbDirect.Checked());
  EXPECT_EQ(again.eProxy.Text(), u"proxy.example");
}

TEST(InternetForm, CancelAndTheFramesCloseButtonWriteNothing) {
  TInternetSettingsScope scope;
  scope.Write("lib", "WinInet");
  TOnModal cancel([](TForm& f) {
    auto& form = dynamic_cast<TVoInternetForm&>(f);
    Click(form.rbLibCurl);
    Click(form.bntCancel);
  });
  EXPECT_FALSE(ShowInternetSettings());
  ASSERT_TRUE(cancel.Done());
  EXPECT_EQ(Stored("lib"), "WinInet");
  EXPECT_EQ(Stored("method"), "<none>");

  TOnModal escape([](TForm& f) {
    Click(dynamic_cast<TVoInternetForm&>(f).rbManual);
    PressKey(VK_ESCAPE);
  });
  EXPECT_FALSE(ShowInternetSettings());
  ASSERT_TRUE(escape.Done());
  EXPECT_EQ(Stored("method"), "<none>");
}

} // namespace
