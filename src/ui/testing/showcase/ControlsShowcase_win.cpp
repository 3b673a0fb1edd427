// The owner-drawn controls inside the drawn window frame, for looking at (not
// part of setup.exe). On a page of the wizard's size: buttons in each of
// their states, the three panel borders with labels attached above them,
// progress bars, and the frame's caption with its triangle and language box.
// Beside it: edits, the integer edit and combo boxes with labels attached on
// their left, check boxes and two groups of radio buttons, each enabled and
// disabled. The language box switches between Dutch and English; Next
// advances the first bar; Close, Escape and the frame's close button end the
// program.
//
//   ui_showcase.exe [state-file]
//
// The window's title tells a test what was clicked last. With a state file,
// the program also writes the fields' and choices' state into it after every
// change, one "name=value" per line.

#include "base/KaText.h"
#include "i18n/KaTranslator.h"
#include "ui/Application_win.h"
#include "ui/Image_win.h"
#include "ui/KaAccelChar.h"
#include "ui/KaFormStorage_win.h"
#include "ui/PngResource_win.h"
#include "ui/VoArtwork.h"
#include "ui/VoButton_win.h"
#include "ui/VoCheckBox_win.h"
#include "ui/VoComboBox_win.h"
#include "ui/VoEdit_win.h"
#include "ui/VoFormModifier_win.h"
#include "ui/VoIntegerEdit_win.h"
#include "ui/VoLabel_win.h"
#include "ui/VoPanel_win.h"
#include "ui/VoProgressBar_win.h"
#include "ui/VoRadioButton_win.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>

#include <shellapi.h>

namespace {

void RegisterTexts() {
  struct TText {
    const char16_t* Key;
    const char16_t* Dutch;
    const char16_t* English;
  };
  static const TText texts[] = {
      {u"Installer", u"Installatie", u"Installer"},
      {u"Controls", u"Bedieningselementen", u"Controls"},
      {u"Buttons", u"Knoppen", u"Buttons"},
      {u"Button", u"Knop", u"Button"},
      {u"button_hint", u"Een knop met een tip", u"A button with a hint"},
      {u"Latched", u"Vastgezet", u"Latched"},
      {u"Disabled", u"Inactief", u"Disabled"},
      {u"Focused", u"&Focus", u"&Focused"},
      {u"Next", u"Volgende", u"Next"},
      {u"Previous", u"Vorige", u"Previous"},
      {u"Close", u"Sluiten", u"Close"},
      {u"border_style", u"Randstijl", u"Border style"},
      {u"Label", u"Label", u"Label"},
      {u"Progress", u"Voortgang", u"Progress"},
      {u"clicked", u"Laatst geklikt", u"Clicked last"},
      {u"Fields", u"Velden", u"Fields"},
      {u"Address", u"Adres:", u"Address:"},
      {u"user_name", u"Gebruikersnaam:", u"User name:"},
      {u"field_disabled", u"Inactief:", u"Disabled:"},
      {u"Required", u"Verplicht:", u"Required:"},
      {u"Port", u"Poort:", u"Port:"},
      {u"Language", u"Taal:", u"Language:"},
      {u"Editable", u"Bewerkbaar:", u"Editable:"},
      {u"check_boxes", u"Keuzevakjes", u"Check boxes"},
      {u"start_program", u"Programma &starten", u"&Start the program"},
      {u"remove_settings", u"Mijn instellingen &wissen", u"&Remove my settings"},
      {u"checked_disabled", u"Gekozen, inactief", u"Checked, disabled"},
      {u"unchecked_disabled", u"Niet gekozen, inactief", u"Unchecked, disabled"},
      {u"remove_all", u"Alle bestanden in de map verwijderen, ook die het programma maakte",
       u"Remove every file in the folder, also those the program made"},
      {u"radio_buttons", u"Keuzerondjes", u"Radio buttons"},
  };
  ITranslatorPtr t = Translator();
  ILanguagePtr nl = t->AddLanguage("nl");
  nl->SetName(u"Nederlands");
  ILanguagePtr en = t->AddLanguage("en");
  en->SetName(u"English");
  for (const TText& text : texts) {
    nl->AddText(text.Key, text.Dutch);
    en->AddText(text.Key, text.English);
  }
}

class TShowcaseForm : public TForm {
public:
  explicit TShowcaseForm(std::wstring stateFile)
      : FStorage(*this), FStateFile(std::move(stateFile)) {
    SetCaption(u"Controls showcase");
    SetColor(0xFFFFFF);
    SetClientSize(980, 360);
    FFrame.SetCaption(u"$(Installer) > $(Controls)");
    FFrame.SetLang(u"NL");
    FFrame.OnLangClick = [this](TComponent&, const TRect&) { SwitchLanguage(); };

    FPicture.LoadFromPng(LoadPngResource(WIZARD_BACKGROUND));
    FPicture.SetBounds(0, 0, 500, 360);

    TFont title = Font();
    title.Height = -19;
    title.Style = fsBold;
    FTitle.SetFont(title);
    FTitle.SetCaption(u"$(Controls)");
    FTitle.SetBounds(144, 12, 0, 0);

    TFont heading = Font();
    heading.Style = fsBold;
    heading.Color = CurrentTheme()->BorderDarkColor();
    FButtonsHeading.SetFont(heading);
    FButtonsHeading.SetCaption(u"$(Buttons)");
    FButtonsHeading.SetBounds(144, 42, 0, 0);

    Place(FPlain, BUTTON_PLAIN, u"$(Button)", 144, 58);
    FPlain.SetHint(u"$(button_hint)");
    Place(FLatched, BUTTON_PLAIN, u"$(Latched)", 244, 58);
    FLatched.SetDown(true);
    Place(FDisabled, BUTTON_PLAIN, u"$(Disabled)", 344, 58);
    FDisabled.SetEnabled(false);
    Place(FNextDisabled, BUTTON_NEXT, u"$(Next)", 144, 82);
    FNextDisabled.SetEnabled(false);
    Place(FFocused, BUTTON_PLAIN, u"$(Focused)", 244, 82);
    FFocused.SetTabStop(true);
    Place(FPreviousDisabled, BUTTON_PREVIOUS, u"$(Previous)", 344, 82);
    FPreviousDisabled.SetPosition(tbpLeft);
    FPreviousDisabled.SetEnabled(false);

    for (int i = 0; i < 3; ++i) {
      FPanels[i].SetBounds(144 + 110 * i, 136, 100, 40);
      FPanels[i].SetBorderStyle(i + 1);
      FPanelCaptions[i].SetFont(heading);
      FPanelCaptions[i].SetCaption(u"$(border_style) " + std::u16string(1, u'1' + i));
      FPanelCaptions[i].SetAttachedPosition(lpTop);
      FPanelCaptions[i].SetAttachedTo(&FPanels[i]);
      FPanelLabels[i].SetParent(&FPanels[i]);
      FPanelLabels[i].SetBounds(10, 13, 0, 0);
    }
    FPanels[2].SetBorders({pbTop, pbBottom});
    FPanelLabels[0].SetCaption(u"$(Label)");
    FPanelLabels[1].SetCaption(u"$(Disabled)");
    FPanelLabels[1].SetEnabled(false);
    FPanelLabels[2].SetCaption(u"$(Label)");

    FProgressCaption.SetFont(heading);
    FProgressCaption.SetCaption(u"$(Progress)");
    FFiles.SetBounds(144, 204, 329, 20);
    FProgressCaption.SetAttachedPosition(lpTop);
    FProgressCaption.SetAttachedTo(&FFiles);
    FFiles.SetPosition(42);
    FDone.SetBounds(144, 228, 329, 20);
    FDone.SetMax(0); // an empty range shows full
    FStopped.SetBounds(144, 252, 329, 20);
    FStopped.SetPosition(70);
    FStopped.SetEnabled(false);

    FStatus.SetBounds(144, 276, 0, 0);

    Place(FClose, BUTTON_PLAIN, u"$(Close)", 184, 304);
    FClose.SetCancel(true);
    Place(FPrevious, BUTTON_PREVIOUS, u"$(Previous)", 284, 304);
    FPrevious.SetPosition(tbpLeft);
    Place(FNext, BUTTON_NEXT, u"$(Next)", 384, 304);
    FNext.SetDefault(true);

    FNext.OnClick = [this](TComponent&) {
      FFiles.SetPosition(FFiles.Position() >= 100 ? 0 : FFiles.Position() + 10);
      Clicked(u"$(Next)", "Next");
    };
    FPrevious.OnClick = [this](TComponent&) {
      FFiles.SetPosition(std::max(FFiles.Position() - 10, 0));
      Clicked(u"$(Previous)", "Previous");
    };
    FPlain.OnClick = [this](TComponent&) { Clicked(u"$(Button)", "Button"); };
    FLatched.OnClick = [this](TComponent&) {
      FLatched.SetDown(!FLatched.Down());
      Clicked(u"$(Latched)", "Latched");
    };
    FFocused.OnClick = [this](TComponent&) { Clicked(u"$(Focused)", "Focused"); };
    FClose.OnClick = [this](TComponent&) { Close(); };
    OnShow = [this](TComponent&) { SetActiveControl(&FFocused); };

    PlaceFields(heading);
    PlaceChoices(heading);

    FStorage.CenterOnPrimaryMonitor();
    WriteState();
  }

private:
  // Edits and combo boxes, each named by a label attached on its left.
  void PlaceFields(const TFont& heading) {
    FFieldsHeading.SetFont(heading);
    FFieldsHeading.SetCaption(u"$(Fields)");
    FFieldsHeading.SetBounds(516, 18, 0, 0);
    int y = 40;
    auto row = [&](TVoLabel& label, const char16_t* caption, TWinControl& field, int width) {
      field.SetBounds(600, y, width, 21);
      label.SetCaption(caption);
      label.SetAttachedTo(&field);
      label.SetAttachedPosition(lpLeft);
      y += 27;
    };
    row(FAddressLabel, u"$(Address)", FAddress, 180);
    FAddress.SetText(u"proxy.example.com");
    row(FUserLabel, u"$(user_name)", FUser, 180);
    FUser.SetText(u"typed here");
    row(FFieldOffLabel, u"$(field_disabled)", FFieldOff, 180);
    FFieldOff.SetText(u"not in use");
    FFieldOff.SetEnabled(false);
    row(FRequiredLabel, u"$(Required)", FRequired, 180);
    FRequired.SetRequired(true);
    row(FPortLabel, u"$(Port)", FPort, 73);
    FPort.SetValue(8080);
    FPort.SetHasMinValue(true);
    FPort.SetHasMaxValue(true);
    FPort.SetMaxValue(65535);
    FPortOff.SetBounds(683, FPort.Top(), 73, 21);
    FPortOff.SetEnabled(false);
    row(FListLabel, u"$(Language)", FList, 124);
    FList.SetStyle(csDropDownList);
    FList.AddItem(u"Nederlands");
    FList.AddItem(u"English");
    FList.SetItemIndex(0);
    row(FListOffLabel, u"$(field_disabled)", FListOff, 124);
    FListOff.SetStyle(csDropDownList);
    FListOff.AddItem(u"English");
    FListOff.SetItemIndex(0);
    FListOff.SetEnabled(false);
    row(FEditableLabel, u"$(Editable)", FEditable, 180);
    FEditable.AddItem(u"C:\\Program Files\\Example");
    FEditable.AddItem(u"D:\\Apps\\Example");
    FEditable.SetItemIndex(0);

    for (TCustomEdit* edit :
         {static_cast<TCustomEdit*>(&FAddress), static_cast<TCustomEdit*>(&FUser),
          static_cast<TCustomEdit*>(&FRequired), static_cast<TCustomEdit*>(&FPort)})
      edit->OnChange = [this](TComponent&) { WriteState(); };
    FList.OnChange = [this](TComponent&) { WriteState(); };
  }

  // Check boxes and two groups of radio buttons.
  void PlaceChoices(const TFont& heading) {
    const int x = 790;
    FChecksHeading.SetFont(heading);
    FChecksHeading.SetCaption(u"$(check_boxes)");
    FChecksHeading.SetBounds(x, 18, 0, 0);
    int y = 36;
    for (auto [box, caption] :
         {std::pair{&FStart, u"$(start_program)"}, std::pair{&FRemove, u"$(remove_settings)"},
          std::pair{&FCheckedOff, u"$(checked_disabled)"},
          std::pair{&FUncheckedOff, u"$(unchecked_disabled)"}}) {
      box->SetBounds(x, y, 185, 17);
      box->SetCaption(caption);
      box->OnChange = [this](TComponent&) { WriteState(); };
      y += 18;
    }
    FStart.SetChecked(true);
    FCheckedOff.SetChecked(true);
    FCheckedOff.SetEnabled(false);
    FUncheckedOff.SetEnabled(false);
    FRemoveAll.SetBounds(x, y, 185, 41);
    FRemoveAll.SetCaption(u"$(remove_all)");
    FRemoveAll.OnChange = [this](TComponent&) { WriteState(); };

    FRadiosHeading.SetFont(heading);
    FRadiosHeading.SetCaption(u"$(radio_buttons)");
    FRadiosHeading.SetBounds(x, 160, 0, 0);
    y = 178;
    for (auto [radio, caption] : {std::pair{&FIndy, u"&Indy"}, std::pair{&FCurl, u"lib&curl"},
                                  std::pair{&FWinInet, u"&WinInet"}}) {
      radio->SetBounds(x, y, 185, 17);
      radio->SetGroupIndex(1);
      radio->SetCaption(caption);
      radio->OnChange = [this](TComponent&) { WriteState(); };
      y += 18;
    }
    FIndy.SetChecked(true);
    for (auto [radio, caption] : {std::pair{&FAutoOff, u"$(checked_disabled)"},
                                  std::pair{&FDirectOff, u"$(unchecked_disabled)"}}) {
      radio->SetBounds(x, y + 6, 185, 17);
      radio->SetGroupIndex(2);
      radio->SetCaption(caption);
      radio->SetEnabled(false);
      y += 18;
    }
    FAutoOff.SetChecked(true);
  }

  void WriteState() {
    if (FStateFile.empty())
      return;
    std::ostringstream out;
    const TVoRadioButton* library = FIndy.Checked() ? &FIndy : FCurl.Checked() ? &FCurl : &FWinInet;
    out << "start=" << FStart.Checked() << "\n"
        << "remove=" << FRemove.Checked() << "\n"
        << "remove_all=" << FRemoveAll.Checked() << "\n"
        << "library=" << FromWide(RemoveAmpersands(library->Caption())) << "\n"
        << "address=" << FromWide(FAddress.Text()) << "\n"
        << "user=" << FromWide(FUser.Text()) << "\n"
        << "port=" << FPort.Value() << "\n"
        << "list=" << FList.ItemIndex() << "\n";
    // Written whole each time, so that a reader never sees half of it.
    const std::wstring temporary = FStateFile + L".tmp";
    if (FILE* f = _wfopen(temporary.c_str(), L"wb")) {
      const std::string text = out.str();
      fwrite(text.data(), 1, text.size(), f);
      fclose(f);
      MoveFileExW(temporary.c_str(), FStateFile.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
  }

  void Place(TVoButton& button, const char* face, const std::u16string& caption, int left,
             int top) {
    button.LoadPNG5(face);
    button.SetCaption(caption);
    button.SetBounds(left, top, 0, 0);
  }

  void Clicked(const std::u16string& what, const std::string& name) {
    FStatus.SetCaption(u"$(clicked): " + what);
    ++FClicks;
    SetCaption(u"Controls showcase: " + std::u16string(name.begin(), name.end()) + u" " +
               std::u16string(1, static_cast<char16_t>(u'0' + FClicks % 10)));
  }

  void SwitchLanguage() {
    const bool dutch = Translator()->GetCurrent()->GetCode() == "nl";
    Translator()->SetLanguage(dutch ? u"en" : u"nl");
    FFrame.SetLang(dutch ? u"EN" : u"NL");
    SetCaption(dutch ? u"Controls showcase: en" : u"Controls showcase: nl");
  }

  TVoFormModifier FFrame{this};
  TKaFormStorage FStorage;
  TImage FPicture{this};
  TVoLabel FTitle{this};
  TVoLabel FButtonsHeading{this};
  TVoButton FPlain{this}, FLatched{this}, FDisabled{this};
  TVoButton FNextDisabled{this}, FFocused{this}, FPreviousDisabled{this};
  TVoPanel FPanels[3]{TVoPanel{this}, TVoPanel{this}, TVoPanel{this}};
  TVoLabel FPanelCaptions[3]{TVoLabel{this}, TVoLabel{this}, TVoLabel{this}};
  TVoLabel FPanelLabels[3]{TVoLabel{this}, TVoLabel{this}, TVoLabel{this}};
  TVoLabel FProgressCaption{this};
  TVoProgressBar FFiles{this}, FDone{this}, FStopped{this};
  TVoLabel FStatus{this};
  TVoButton FClose{this}, FPrevious{this}, FNext{this};
  int FClicks = 0;

  std::wstring FStateFile;
  TVoLabel FFieldsHeading{this}, FChecksHeading{this}, FRadiosHeading{this};
  TVoEdit FAddress{this}, FUser{this}, FFieldOff{this}, FRequired{this};
  TVoIntegerEdit FPort{this}, FPortOff{this};
  TVoComboBox FList{this}, FListOff{this}, FEditable{this};
  TVoLabel FAddressLabel{this}, FUserLabel{this}, FFieldOffLabel{this}, FRequiredLabel{this},
      FPortLabel{this}, FListLabel{this}, FListOffLabel{this}, FEditableLabel{this};
  TVoCheckBox FStart{this}, FRemove{this}, FCheckedOff{this}, FUncheckedOff{this}, FRemoveAll{this};
  TVoRadioButton FIndy{this}, FCurl{this}, FWinInet{this}, FAutoOff{this}, FDirectOff{this};
};

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RegisterTexts();
  Translator()->SetLanguage(u"nl");
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring stateFile = argv && argc > 1 ? argv[1] : L"";
  LocalFree(argv);
  Application().CreateForm<TShowcaseForm>(stateFile);
  Application().Run();
  return 0;
}
