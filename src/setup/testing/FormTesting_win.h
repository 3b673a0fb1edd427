#pragma once

// Helpers for the tests of the setup program's forms (Windows only): acting
// on a dialog from inside its modal loop, and screenshots of what the screen
// shows.

#include "ui/Form_win.h"
#include "ui/Timer_win.h"

#include <functional>
#include <string>

// Runs `act` on the next form that runs modally, from inside its modal loop
// (a timer finds it among the thread's windows), once. The dialog is the
// test's to close.
class TOnModal {
public:
  explicit TOnModal(std::function<void(TForm&)> act);
  bool Done() const { return FDone; }

private:
  std::function<void(TForm&)> FAct;
  TTimer FTimer;
  bool FDone = false;
};

// The form's window as it is on the screen now, frame included, written as
// a PNG file.
void SaveScreenshot(TForm& form, const std::string& fileName);
