#include "ui/Hint_win.h"

#include <commctrl.h>

#include <string>

namespace {

HWND Tooltip() {
  static HWND tip = [] {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&init);
    return CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
  }();
  return tip;
}

} // namespace

void SetWindowHint(HWND window, std::u16string_view text) {
  HWND tip = Tooltip();
  if (!tip || !window)
    return;
  std::u16string copy(text);
  TTTOOLINFOW info{};
  info.cbSize = sizeof info;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = window;
  info.uId = reinterpret_cast<UINT_PTR>(window);
  info.lpszText = reinterpret_cast<wchar_t*>(copy.data());
  bool known = SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
  info.lpszText = reinterpret_cast<wchar_t*>(copy.data());
  if (copy.empty()) {
    if (known)
      SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  } else if (known) {
    SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
  } else {
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  }
}
