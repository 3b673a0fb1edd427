#include "setup/VoMessageForm_win.h"

#include "ui/Application_win.h"
#include "ui/KaDpi.h"
#include "ui/VoArtwork.h"

namespace {

constexpr TColor BarLineColor = 14588513;
constexpr int ButtonMargin = 8;

// The width of the dialog for a text label `labelWidth` wide.
int DialogWidth(int labelWidth) { return labelWidth >= 260 ? labelWidth + 20 : 280; }

} // namespace

void SetUpButtonBar(TVoPanel& bar) {
  bar.SetAlign(alBottom);
  bar.SetHeight(34);
  bar.SetColor(0xFFFFFF);
  bar.SetBorderStyle(3);
  bar.SetBorders({pbTop});
  bar.SetBorderColor(BarLineColor);
}

void SetUpBarButton(TVoButton& button, const char16_t* caption, int left) {
  button.LoadPNG5(BUTTON_PLAIN);
  button.SetPosition(tbpRight);
  button.SetCaption(caption);
  button.SetBounds(left, 8, 94, 20);
}

TVoMessageForm::TVoMessageForm() {
  FormModifier.SetMinMaxVisible(false);
  FormModifier.SetResizeEnabled(false);
  SetColor(0xFFFFFF);
  SetClientSize(377, 76);

  lMessage.SetBounds(8, 8, 0, 0);

  SetUpButtonBar(pBottom);
  SetUpBarButton(btnOK, u"$(OK)", 377 - 94 - ButtonMargin);
  btnOK.SetAnchors(akTop | akRight);
  btnOK.SetDefault(true);
  btnOK.OnClick = [this](TComponent& sender) { btnOKClick(sender); };
  SetUpBarButton(btnCancel, u"$(Cancel)", 377 - 2 * (94 + ButtonMargin));
  btnCancel.SetAnchors(akTop | akRight);
  btnCancel.SetCancel(true);
  btnCancel.SetVisible(false);
  btnCancel.OnClick = [this](TComponent& sender) { btnCancelClick(sender); };
}

void TVoMessageForm::btnOKClick(TComponent&) { SetModalResult(mrOk); }

void TVoMessageForm::btnCancelClick(TComponent&) { SetModalResult(mrCancel); }

void CenterOnMainForm(TForm& dialog) {
  TPoint centre;
  if (TForm* main = Application().MainForm(); main && main != &dialog) {
    centre = {main->Left() + main->Width() / 2, main->Top() + main->Height() / 2};
  } else {
    centre = {ToLogical(GetSystemMetrics(SM_CXSCREEN)) / 2,
              ToLogical(GetSystemMetrics(SM_CYSCREEN)) / 2};
  }
  dialog.SetBounds(centre.X - dialog.Width() / 2, centre.Y - dialog.Height() / 2, dialog.Width(),
                   dialog.Height());
}

bool ShowMessageDialog(const std::u16string& title, const std::u16string& text) {
  TVoMessageForm dialog;
  // The window first, so that the sizes below are those of the drawn frame.
  dialog.HandleNeeded();
  dialog.btnCancel.Hide();
  dialog.btnOK.SetCaption(u"$(OK)");
  dialog.btnOK.SetLeft(dialog.ClientWidth() - dialog.btnOK.Width() - ButtonMargin);
  dialog.btnOK.Show();
  dialog.FormModifier.SetCaption(title);
  dialog.SetCaption(dialog.FormModifier.CaptionText()); // the window's own title
  dialog.lMessage.SetCaption(text);
  dialog.SetWidth(DialogWidth(dialog.lMessage.Width()));
  CenterOnMainForm(dialog);
  return dialog.ShowModal() == mrOk;
}
