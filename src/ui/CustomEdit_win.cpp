#include "ui/CustomEdit_win.h"

#include "ui/Font_win.h"

LRESULT ControlColors(HDC dc, TColor color, const TFont& font) {
  SetTextColor(dc, ColorRef(font.Color));
  SetBkColor(dc, ColorRef(color));
  return reinterpret_cast<LRESULT>(SolidBrush(color));
}

TCustomEdit::TCustomEdit(TWinControl* parent) : TWinControl(parent) {
  SetBounds(0, 0, 121, 21);
  SetColor(0xFFFFFF);
  SetTabStop(true);
}

void TCustomEdit::CreateParams(TCreateParams& p) {
  p.SystemClass = L"EDIT";
  p.Style |= ES_AUTOHSCROLL;
  if (FReadOnly)
    p.Style |= ES_READONLY;
  if (FBorderStyle == ebsSingle)
    p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::HandleCreated() { SendMessageW(Handle(), EM_LIMITTEXT, FMaxLength, 0); }

void TCustomEdit::SetMaxLength(int length) {
  FMaxLength = length;
  if (HandleAllocated())
    SendMessageW(Handle(), EM_LIMITTEXT, length, 0);
}

void TCustomEdit::SetReadOnly(bool value) {
  FReadOnly = value;
  if (HandleAllocated())
    SendMessageW(Handle(), EM_SETREADONLY, value, 0);
}

int TCustomEdit::SelStart() {
  DWORD start = 0, end = 0;
  SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(start);
}

int TCustomEdit::SelLength() {
  DWORD start = 0, end = 0;
  SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

void TCustomEdit::SetSelection(int start, int length) {
  SendMessageW(Handle(), EM_SETSEL, start, length < 0 ? -1 : start + length);
}

bool TCustomEdit::Reflected(TMessage& m) {
  switch (m.Msg) {
  case WM_COMMAND:
    if (HIWORD(m.WParam) == EN_CHANGE) {
      Change();
      return true;
    }
    return false;
  case WM_CTLCOLOREDIT:
  case WM_CTLCOLORSTATIC: // read-only and disabled edits ask this way
    m.Result = ControlColors(reinterpret_cast<HDC>(m.WParam), Color(), Font());
    return true;
  default: return false;
  }
}

void TCustomEdit::Change() { Fire(OnChange, *this); }
