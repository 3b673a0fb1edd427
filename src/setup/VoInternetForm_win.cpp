#include "setup/VoInternetForm_win.h"

#include "base/KaText.h"
#include "setup/VoInternetForm.h"
#include "setup/VoMessageForm_win.h"

namespace {

void SetUpRadio(TVoRadioButton& radio, const char16_t* caption, int group, int left, int top,
                int width) {
  radio.SetCaption(caption);
  radio.SetGroupIndex(group);
  radio.SetBounds(left, top, width, 17);
}

void SetUpField(TControl& edit, TVoLabel& label, const char16_t* caption, int left, int top,
                int width) {
  edit.SetBounds(left, top, width, 21);
  label.SetCaption(caption);
  label.SetAttachedPosition(lpLeft);
  label.SetAttachedTo(&edit);
}

} // namespace

TVoInternetForm::TVoInternetForm() {
  SetBorderStyle(bsNone);
  SetColor(0xFFFFFF);
  SetBounds(0, 0, 393, 349);

  lLibrary.SetCaption(u"Choose Internet Connection Library:");
  lLibrary.SetBounds(8, 8, 0, 0);
  SetUpRadio(rbIndy, u"Indy", 1, 8, 32, 121);
  SetUpRadio(rbLibCurl, u"libcurl", 1, 8, 50, 121);
  SetUpRadio(rbWinInet, u"WinInet", 1, 8, 68, 121);
  rbIndy.SetChecked(true);

  lProxySettings.SetCaption(u"Proxy Settings:");
  lProxySettings.SetBounds(8, 96, 0, 0);
  SetUpRadio(rbAutoDetect, u"Auto-detect proxy settings for this network", 2, 8, 120, 300);
  SetUpRadio(rbDirect, u"Direct connection to the internet", 2, 8, 138, 300);
  SetUpRadio(rbManual, u"Manual proxy configuration", 2, 8, 156, 300);
  rbAutoDetect.SetChecked(true);
  for (TVoRadioButton* radio : {&rbAutoDetect, &rbDirect, &rbManual})
    radio->OnChange = [this](TComponent& sender) { rbProxyChange(sender); };

  SetUpField(eProxy, lProxy, u"Address:", 104, 180, 153);
  SetUpField(ePort, lPort, u"Port:", 296, 180, 73);
  SetUpField(eUsername, lUsername, u"Username:", 64, 220, 153);
  SetUpField(ePassword, lPassword, u"Password:", 64, 244, 153);

  SetUpButtonBar(pBottom);
  SetUpBarButton(btnOK, u"OK", 184);
  btnOK.SetDefault(true);
  btnOK.OnClick = [this](TComponent& sender) { btnOKClick(sender); };
  SetUpBarButton(bntCancel, u"Cancel", 284);
  bntCancel.SetCancel(true);
  bntCancel.OnClick = [this](TComponent& sender) { bntCancelClick(sender); };

  FormCreate(*this);
}

TVoInternetForm::~TVoInternetForm() { FormDestroy(*this); }

void TVoInternetForm::FormCreate(TComponent&) {
  FFrame = std::make_unique<TVoFormModifier>(this);
  FFrame->SetMinMaxVisible(false);
  FFrame->SetResizeEnabled(false);
  FFrame->SetCaption(u"$(Internet Settings)");
  // The window's own title, for the task bar and window lists.
  SetCaption(FFrame->CaptionText());

  TInternetSettingValues stored = ReadInternetSettingValues();
  switch (LibraryOfSetting(stored.Lib)) {
  case TInternetLibrary::ilLibCurl: rbLibCurl.SetChecked(true); break;
  case TInternetLibrary::ilWinInet: rbWinInet.SetChecked(true); break;
  case TInternetLibrary::ilIndy: rbIndy.SetChecked(true); break;
  }
  switch (MethodOfSetting(stored.Method)) {
  case TProxyMethod::pmDirect: rbDirect.SetChecked(true); break;
  case TProxyMethod::pmManual: rbManual.SetChecked(true); break;
  case TProxyMethod::pmAutoDetect: rbAutoDetect.SetChecked(true); break;
  }
  eProxy.SetText(ToWide(stored.ProxyHost));
  ePort.SetValue(stored.ProxyPort);
  eUsername.SetText(ToWide(stored.ProxyUserName));
  ePassword.SetText(ToWide(stored.ProxyPassword));
  rbProxyChange(*this);
}

void TVoInternetForm::FormDestroy(TComponent&) { FFrame.reset(); }

void TVoInternetForm::rbProxyChange(TComponent&) {
  TProxyMethod method = rbManual.Checked()   ? TProxyMethod::pmManual
                        : rbDirect.Checked() ? TProxyMethod::pmDirect
                                             : TProxyMethod::pmAutoDetect;
  TProxyFieldsEnabled enabled = ProxyFieldsEnabled(method);
  eProxy.SetEnabled(enabled.AddressAndPort);
  ePort.SetEnabled(enabled.AddressAndPort);
  eUsername.SetEnabled(enabled.Credentials);
  ePassword.SetEnabled(enabled.Credentials);
}

void TVoInternetForm::btnOKClick(TComponent&) {
  TInternetSettingValues values;
  values.Lib = LibrarySetting(rbLibCurl.Checked(), rbWinInet.Checked(), rbIndy.Checked());
  values.Method = MethodSetting(rbDirect.Checked(), rbManual.Checked());
  values.ProxyHost = FromWide(eProxy.Text());
  values.ProxyPort = ePort.Value();
  values.ProxyUserName = FromWide(eUsername.Text());
  values.ProxyPassword = FromWide(ePassword.Text());
  // Without the rights to the key nothing is stored, and the dialog still
  // closes with OK: the wizard then connects anew with the old settings.
  WriteInternetSettingValues(values);
  SetModalResult(mrOk);
}

void TVoInternetForm::bntCancelClick(TComponent&) { SetModalResult(mrCancel); }

bool ShowInternetSettings() {
  TVoInternetForm dialog;
  dialog.HandleNeeded();
  CenterOnMainForm(dialog);
  return dialog.ShowModal() == mrOk;
}
