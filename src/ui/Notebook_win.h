#pragma once

// Pages on top of each other, one shown at a time (Windows only). The
// notebook owns its pages; the controls on them belong to whoever made them.

#include "ui/KaNotebookPages.h"
#include "ui/Page_win.h"
#include "ui/WinControl_win.h"

#include <memory>
#include <string_view>
#include <vector>

class TNotebook : public TWinControl {
public:
  explicit TNotebook(TWinControl* parent);
  ~TNotebook() override;

  // A new page at the end; the first one becomes current.
  TPage& AddPage(std::string caption);
  int PageCount() const { return FPages.Count(); }
  TPage& Page(int index) { return *FPageControls.at(index); }
  // Letters compared without case; none if no page has the caption.
  TPage* FindPage(std::string_view caption);

  int PageIndex() const { return FPages.Index(); }
  // Shows page `index` and fires OnPageChanged. An index out of range or the
  // current page's changes nothing and fires nothing. When the focus was on
  // the page that goes, it moves to the first tab stop of the new one.
  void SetPageIndex(int index);
  std::string ActivePage() const;
  void SetActivePage(std::string_view caption);

  TNotifyEvent OnPageChanged;

private:
  TNotebookPages FPages;
  std::vector<std::unique_ptr<TPage>> FPageControls;
};
