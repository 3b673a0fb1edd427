#include "setup/PlainWindow.h"

#include "base/KaText.h"

#include <windows.h>

namespace {

std::u16string Text;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  switch (msg) {
  case WM_PAINT: {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    RECT textArea{r.left + 20, r.top + 140, r.right - 20, r.bottom - 20};
    FillRect(dc, &r, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    DrawTextW(dc, reinterpret_cast<const wchar_t*>(Text.c_str()), -1, &textArea,
              DT_CENTER | DT_WORDBREAK);
    SelectObject(dc, old);
    EndPaint(hwnd, &ps);
    return 0;
  }
  case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace

int RunPlainWindow(const std::string& title, const std::u16string& text) {
  Text = text;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = L"TForm_Main";
  RegisterClassW(&wc);

  RECT area;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  int w = 499, h = 360;
  RECT frame{0, 0, w, h};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  w = frame.right - frame.left;
  h = frame.bottom - frame.top;
  std::u16string wideTitle = ToWide(title);
  HWND hwnd = CreateWindowW(wc.lpszClassName, reinterpret_cast<const wchar_t*>(wideTitle.c_str()),
                            WS_OVERLAPPEDWINDOW, area.left + (area.right - area.left - w) / 2,
                            area.top + (area.bottom - area.top - h) / 2, w, h, nullptr, nullptr,
                            instance, nullptr);
  if (!hwnd)
    return 1;
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
