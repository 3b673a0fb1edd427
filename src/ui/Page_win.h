#pragma once

// One page of a notebook (Windows only): a container that fills the
// notebook and is shown while it is the notebook's current page. Controls
// are placed on it as on a form.

#include "ui/CustomControl_win.h"

#include <string>

class TNotebook;

class TPage : public TCustomControl {
public:
  TPage(TNotebook* notebook, std::string caption);
  const std::string& Caption() const { return FCaption; }

private:
  std::string FCaption;
};
