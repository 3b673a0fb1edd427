#include "ui/Page_win.h"

#include "base/KaText.h"
#include "ui/Notebook_win.h"

TPage::TPage(TNotebook* notebook, std::string caption)
    : TCustomControl(notebook), FCaption(std::move(caption)) {
  SetAlign(alClient);
  // The page's window carries its caption, so that tools that look at the
  // program's windows from outside (accessibility, tests) tell the pages
  // apart.
  SetText(ToWide(FCaption));
}
