#include "ui/CustomComboBox_win.h"

#include "ui/CustomEdit_win.h"

#include <cstdlib>

TCustomComboBox::TCustomComboBox(TWinControl* parent) : TWinControl(parent) {
  SetBounds(0, 0, 145, 21);
  SetColor(0xFFFFFF);
  SetTabStop(true);
}

void TCustomComboBox::CreateParams(TCreateParams& p) {
  static const DWORD styles[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST};
  p.SystemClass = L"COMBOBOX";
  p.Style |= styles[FStyle] | CBS_AUTOHSCROLL | CBS_HASSTRINGS | WS_VSCROLL;
}

TRect TCustomComboBox::WindowRectFor(const TRect& b) const {
  // The system takes the window's height as the height of the dropped-down
  // list below the box.
  if (FStyle == csSimple)
    return b;
  const int itemHeight = std::abs(Font().Height) + 5;
  TRect r = b;
  r.Bottom += FDropDownCount * itemHeight + 2;
  return r;
}

void TCustomComboBox::HandleCreated() {
  for (const std::u16string& item : FItems)
    SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  SendMessageW(Handle(), CB_SETCURSEL, FItemIndex, 0);
  if (FStyle != csDropDownList && FItemIndex < 0)
    TWinControl::SetText(TWinControl::Text());
}

void TCustomComboBox::SetDropDownCount(int count) {
  FDropDownCount = count;
  SetBoundsRect(BoundsRect());
}

int TCustomComboBox::AddItem(const std::u16string& text) {
  InsertItem(static_cast<int>(FItems.size()), text);
  return static_cast<int>(FItems.size()) - 1;
}

void TCustomComboBox::InsertItem(int index, const std::u16string& text) {
  FItems.insert(FItems.begin() + index, text);
  if (HandleAllocated())
    SendMessageW(Handle(), CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str()));
}

void TCustomComboBox::DeleteItem(int index) {
  FItems.erase(FItems.begin() + index);
  if (HandleAllocated())
    SendMessageW(Handle(), CB_DELETESTRING, index, 0);
  else if (FItemIndex >= static_cast<int>(FItems.size()))
    FItemIndex = -1;
}

void TCustomComboBox::SetItem(int index, const std::u16string& text) {
  int selected = ItemIndex();
  FItems.at(index) = text;
  if (HandleAllocated()) {
    SendMessageW(Handle(), CB_DELETESTRING, index, 0);
    SendMessageW(Handle(), CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(Handle(), CB_SETCURSEL, selected, 0);
  }
}

void TCustomComboBox::ClearItems() {
  FItems.clear();
  FItemIndex = -1;
  if (HandleAllocated())
    SendMessageW(Handle(), CB_RESETCONTENT, 0, 0);
}

int TCustomComboBox::ItemIndex() const {
  TCustomComboBox* self = const_cast<TCustomComboBox*>(this);
  if (!self->HandleAllocated())
    return FItemIndex;
  return static_cast<int>(SendMessageW(self->Handle(), CB_GETCURSEL, 0, 0));
}

void TCustomComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(FItems.size()))
    index = -1;
  FItemIndex = index;
  if (HandleAllocated())
    SendMessageW(Handle(), CB_SETCURSEL, index, 0);
}

bool TCustomComboBox::DroppedDown() {
  return HandleAllocated() && SendMessageW(Handle(), CB_GETDROPPEDSTATE, 0, 0);
}

void TCustomComboBox::WndProc(TMessage& m) {
  switch (m.Msg) {
  case WM_SETFOCUS:
  case WM_KILLFOCUS:
    // Told by CBN_SETFOCUS and CBN_KILLFOCUS instead, which also come when
    // the focus is in the box's edit field.
    DefaultHandler(m);
    return;
  case WM_CTLCOLOREDIT:
  case WM_CTLCOLORLISTBOX:
  case WM_CTLCOLORSTATIC:
    // From the box's own edit field and list.
    m.Result = ControlColors(reinterpret_cast<HDC>(m.WParam), Color(), Font());
    return;
  default: TWinControl::WndProc(m);
  }
}

bool TCustomComboBox::Reflected(TMessage& m) {
  switch (m.Msg) {
  case WM_COMMAND:
    switch (HIWORD(m.WParam)) {
    case CBN_SELCHANGE:
    case CBN_EDITCHANGE: Change(); return true;
    case CBN_SETFOCUS: FocusArrived(); return true;
    case CBN_KILLFOCUS: FocusLeft(); return true;
    case CBN_DROPDOWN: Fire(OnDropDown, *this); return true;
    case CBN_CLOSEUP: Fire(OnCloseUp, *this); return true;
    default: return false;
    }
  case WM_CTLCOLOREDIT:
  case WM_CTLCOLORLISTBOX:
  case WM_CTLCOLORSTATIC:
    m.Result = ControlColors(reinterpret_cast<HDC>(m.WParam), Color(), Font());
    return true;
  default: return false;
  }
}

void TCustomComboBox::Change() { Fire(OnChange, *this); }
