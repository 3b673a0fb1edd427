#pragma once

// The internet settings dialog (Windows only): the HTTP back end and the
// proxy, read from and written to the internet settings in the registry
// (setup/VoInternetForm.h). Its texts are fixed English ones.
//
//   if (ShowInternetSettings())
//     <the wizard makes its connection anew>;

#include "ui/Form_win.h"
#include "ui/VoButton_win.h"
#include "ui/VoEdit_win.h"
#include "ui/VoFormModifier_win.h"
#include "ui/VoIntegerEdit_win.h"
#include "ui/VoLabel_win.h"
#include "ui/VoPanel_win.h"
#include "ui/VoRadioButton_win.h"

#include <memory>

class TVoInternetForm : public TForm {
public:
  // The design, then FormCreate: the frame, and the stored settings shown.
  TVoInternetForm();
  // FormDestroy.
  ~TVoInternetForm() override;

  TVoLabel lLibrary{this};
  TVoRadioButton rbIndy{this};
  TVoRadioButton rbLibCurl{this};
  TVoRadioButton rbWinInet{this};
  TVoLabel lProxySettings{this};
  TVoRadioButton rbAutoDetect{this};
  TVoRadioButton rbDirect{this};
  TVoRadioButton rbManual{this};
  TVoEdit eProxy{this};
  TVoLabel lProxy{this};
  TVoIntegerEdit ePort{this};
  TVoLabel lPort{this};
  TVoEdit eUsername{this};
  TVoLabel lUsername{this};
  TVoEdit ePassword{this};
  TVoLabel lPassword{this};
  TVoPanel pBottom{this};
  TVoButton btnOK{&pBottom};
  TVoButton bntCancel{&pBottom};

  // Made by FormCreate, freed by FormDestroy.
  TVoFormModifier* Frame() const { return FFrame.get(); }

  void FormCreate(TComponent& sender);
  void FormDestroy(TComponent& sender);
  // The proxy's address and port for a manual proxy only; user name and
  // password for every method but a direct connection.
  void rbProxyChange(TComponent& sender);
  // Stores every value (the texts trimmed), whatever the method, and closes
  // with OK, also when the settings' key cannot be opened.
  void btnOKClick(TComponent& sender);
  void bntCancelClick(TComponent& sender);

private:
  std::unique_ptr<TVoFormModifier> FFrame;
};

// Shows the dialog modally, centred on the main form; true when it was
// closed with OK (the settings have then been written, if they could be).
bool ShowInternetSettings();
