#include "ui/Notebook_win.h"

#include "ui/Form_win.h"

TNotebook::TNotebook(TWinControl* parent) : TWinControl(parent) {}

// The pages go before the notebook's window does.
TNotebook::~TNotebook() { FPageControls.clear(); }

TPage& TNotebook::AddPage(std::string caption) {
  FPages.Add(caption);
  auto page = std::make_unique<TPage>(this, std::move(caption));
  page->SetVisible(static_cast<int>(FPageControls.size()) == FPages.Index());
  FPageControls.push_back(std::move(page));
  return *FPageControls.back();
}

TPage* TNotebook::FindPage(std::string_view caption) {
  int i = FPages.IndexOf(caption);
  return i < 0 ? nullptr : FPageControls[i].get();
}

void TNotebook::SetPageIndex(int index) {
  const int old = FPages.Index();
  if (!FPages.Select(index))
    return;
  TPage& leaving = *FPageControls[old];
  TPage& coming = *FPageControls[index];
  TForm* form = ParentForm();
  const bool hadFocus = leaving.Focused();
  coming.SetVisible(true);
  leaving.SetVisible(false);
  if (hadFocus && form) {
    // A hidden window keeps the focus and with it the keyboard otherwise.
    TWinControl* next = form;
    for (TWinControl* c : coming.TabOrderList()) {
      if (c->TabStop() && c->CanFocus()) {
        next = c;
        break;
      }
    }
    ::SetFocus(next->Handle());
  }
  Fire(OnPageChanged, *this);
}

std::string TNotebook::ActivePage() const {
  return FPages.Index() < 0 ? std::string() : FPages.Name(FPages.Index());
}

void TNotebook::SetActivePage(std::string_view caption) { SetPageIndex(FPages.IndexOf(caption)); }
