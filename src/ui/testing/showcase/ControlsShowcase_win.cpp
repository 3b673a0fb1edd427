// The owner-drawn controls on a page of the wizard's size, inside the drawn
// window frame, for looking at (not part of setup.exe): buttons in each of
// their states, the three panel borders with labels attached above them,
// progress bars, and the frame's caption with its triangle and language box.
// The language box switches between Dutch and English; Next advances the
// first bar; Close, Escape and the frame's close button end the program.
// The window's title tells a test what was clicked last.

#include "i18n/KaTranslator.h"
#include "ui/Application_win.h"
#include "ui/Image_win.h"
#include "ui/KaFormStorage_win.h"
#include "ui/PngResource_win.h"
#include "ui/VoArtwork.h"
#include "ui/VoButton_win.h"
#include "ui/VoFormModifier_win.h"
#include "ui/VoLabel_win.h"
#include "ui/VoPanel_win.h"
#include "ui/VoProgressBar_win.h"

#include <algorithm>
#include <string>

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
  TShowcaseForm() : FStorage(*this) {
    SetCaption(u"Controls showcase");
    SetColor(0xFFFFFF);
    SetClientSize(499, 360);
    FFrame.SetCaption(u"$(Installer) > $(Controls)");
    FFrame.SetLang(u"NL");
    FFrame.OnLangClick = [this](TComponent&, const TRect&) { SwitchLanguage(); };

    FPicture.LoadFromPng(LoadPngResource(WIZARD_BACKGROUND));
    FPicture.SetAlign(alClient);

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

    FStorage.CenterOnPrimaryMonitor();
  }

private:
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
};

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RegisterTexts();
  Translator()->SetLanguage(u"nl");
  Application().CreateForm<TShowcaseForm>();
  Application().Run();
  return 0;
}
