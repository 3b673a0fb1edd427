#pragma once

// The program's own message box (Windows only): a title in the drawn window
// frame, a one-line text and an OK button, in the wizard's look. Title and
// text may hold translation markers; the frame and the label translate them
// when they draw.
//
//   if (!ShowMessageDialog(u"$(error_title)", u"$(installpath_error)")) ...

#include "ui/Form_win.h"
#include "ui/VoButton_win.h"
#include "ui/VoFormModifier_win.h"
#include "ui/VoLabel_win.h"
#include "ui/VoPanel_win.h"

#include <string>

class TVoMessageForm : public TForm {
public:
  // The design: client area 377 x 76, white; the label at (8, 8); the
  // button bar along the bottom with OK (the default button) and the hidden
  // Cancel (the cancel button) at its right.
  TVoMessageForm();

  TVoFormModifier FormModifier{this};
  TVoLabel lMessage{this};
  TVoPanel pBottom{this};
  TVoButton btnOK{&pBottom};
  TVoButton btnCancel{&pBottom};

  void btnOKClick(TComponent& sender);
  void btnCancelClick(TComponent& sender);
};

// Shows title and text modally, the dialog 280 pixels wide or, for a text of
// 260 pixels or more, as wide as the text and 20 more; centred on the main
// form (on the screen when there is none). True when it was closed with OK;
// the frame's close button gives false.
bool ShowMessageDialog(const std::u16string& title, const std::u16string& text);

// The button bar along the bottom of the program's dialogs: 34 high, white,
// a line along its top edge.
void SetUpButtonBar(TVoPanel& bar);
// A plain button of that bar, 94 x 20, 8 below the bar's top edge.
void SetUpBarButton(TVoButton& button, const char16_t* caption, int left);

// Places a dialog with its centre on the main form's centre, or on the
// screen's when the program has no main form (halves rounded toward zero).
void CenterOnMainForm(TForm& dialog);
