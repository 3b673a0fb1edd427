// A small form on the window framework, for looking at: a background
// picture with alpha, labels lying on it, an edit with a label attached
// above it, a combo box, a button that raises (its message is shown by the
// general error display) and a cancel button that closes the form.

#include "base/KaExceptions.h"
#include "i18n/KaTranslator.h"
#include "ui/Application_win.h"
#include "ui/CustomComboBox_win.h"
#include "ui/CustomEdit_win.h"
#include "ui/CustomLabel_win.h"
#include "ui/Image_win.h"
#include "ui/KaAttachment.h"
#include "ui/KaFormStorage_win.h"
#include "ui/testing/KaPngWriter.h"
#include "ui/testing/KaTestButton_win.h"

#include <cmath>

namespace {

// A sky from blue to white with a soft, half-transparent disc on the left:
// the picture's alpha shows against the form's own colour.
TPngImage Background(int width, int height) {
  std::vector<uint32_t> pixels;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      double t = static_cast<double>(y) / height;
      uint32_t r = static_cast<uint32_t>(97 + (255 - 97) * t);
      uint32_t g = static_cast<uint32_t>(154 + (255 - 154) * t);
      uint32_t b = static_cast<uint32_t>(222 + (255 - 222) * t);
      double d = std::hypot(x - 70.0, y - 180.0);
      uint32_t a = d < 60 ? 0x60 : 0xFF;
      if (d < 60) {
        r = 0xFF;
        g = 0xC0;
        b = 0x20;
      }
      pixels.push_back((a << 24) | (r << 16) | (g << 8) | b);
    }
  }
  std::vector<uint8_t> file = EncodePng(width, height, pixels);
  return TPngImage::Decode(file.data(), file.size());
}

class TDemoForm : public TForm {
public:
  TDemoForm() : FStorage(*this) {
    SetBorderStyle(bsNone);
    SetCaption(u"Framework demo");
    SetColor(0xFFFFFF);
    SetClientSize(500, 360);

    FPicture.SetAlign(alClient);
    FPicture.LoadFromPng(Background(500, 360));

    TFont title = Font();
    title.Height = -19;
    title.Style = fsBold;
    FTitle.SetFont(title);
    FTitle.SetCaption(u"Window framework");
    FTitle.SetBounds(144, 112, 0, 0);
    FText.SetCaption(u"Kies uw taal... / Choose your language...");
    FText.SetBounds(144, 144, 0, 0);

    FLanguage.SetStyle(csDropDownList);
    FLanguage.SetBounds(144, 160, 124, 21);
    FLanguage.AddItem(u"Nederlands");
    FLanguage.AddItem(u"English");
    FLanguage.SetItemIndex(0);

    FPath.SetBounds(144, 240, 334, 21);
    FPath.SetText(u"C:\\Program Files\\Example");
    FPathLabel.SetCaption(u"Install &path");
    FPathLabel.SetFocusControl(&FPath);
    TPoint at = AttachedOrigin(TAttachedKind::Label, lpTop, FPath.BoundsRect(),
                               {FPathLabel.Width(), FPathLabel.Height()}, 0, 0);
    FPathLabel.SetBounds(at.X, at.Y, 0, 0);

    FRaise.SetBounds(384, 304, 94, 24);
    FRaise.Default = true;
    FRaise.OnClick = [](TComponent&) { throw Exception("$(demo_error)"); };
    FClose.SetBounds(284, 304, 94, 24);
    FClose.Cancel = true;
    FClose.OnClick = [this](TComponent&) { Close(); };

    FStorage.CenterOnPrimaryMonitor();
  }

private:
  TKaFormStorage FStorage;
  TImage FPicture{this};
  TCustomLabel FTitle{this};
  TCustomLabel FText{this};
  TCustomComboBox FLanguage{this};
  TCustomLabel FPathLabel{this};
  TCustomEdit FPath{this};
  TTestButton FRaise{this, u"&Raise"};
  TTestButton FClose{this, u"Close"};
};

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ITranslatorPtr t = Translator();
  t->AddLanguage("en")->AddText(u"demo_error", u"Something went wrong, on purpose.");
  t->SetLanguage(u"en");
  Application().SetTitle("UI demo");
  Application().CreateForm<TDemoForm>();
  Application().Run();
  return 0;
}
