#include "ui/Page_win.h"

#include "ui/Notebook_win.h"

TPage::TPage(TNotebook* notebook, std::string caption)
    : TCustomControl(notebook), FCaption(std::move(caption)) {
  SetAlign(alClient);
}
