// The demo product that websetup installs and keeps up to date: a window
// showing its name and the version written in version.txt beside it, so a new
// release with one changed file is visible at a glance.
#include "base/KaHandle_win.h"

#include <windows.h>

#include <string>

namespace {

std::wstring Version = L"(no version.txt)";

std::wstring ReadVersion() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path, n);
  dir.erase(dir.find_last_of(L'\\') + 1);
  TScopedKernelHandle file(CreateFileW((dir + L"version.txt").c_str(), GENERIC_READ,
                                       FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file)
    return Version;
  char buffer[256];
  DWORD got = 0;
  ReadFile(file.Get(), buffer, sizeof buffer - 1, &got, nullptr);
  std::string text(buffer, got);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
    text.pop_back();
  return std::wstring(text.begin(), text.end());
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  switch (msg) {
  case WM_PAINT: {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, TScopedBrush(CreateSolidBrush(RGB(32, 96, 160))).Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    TScopedFont font(
        CreateFontW(-28, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
    HGDIOBJ old = SelectObject(dc, font.Get());
    std::wstring text = L"websetup demo application\nversion " + Version;
    RECT t = r;
    t.top += (r.bottom - r.top) / 2 - 40;
    DrawTextW(dc, text.c_str(), -1, &t, DT_CENTER);
    SelectObject(dc, old);
    EndPaint(hwnd, &ps);
    return 0;
  }
  case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  Version = ReadVersion();
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = L"WebsetupDemoApp";
  RegisterClassW(&wc);
  std::wstring title = L"websetup demo - version " + Version;
  HWND hwnd = CreateWindowW(wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 200, 150, 520,
                            300, nullptr, nullptr, instance, nullptr);
  ShowWindow(hwnd, SW_SHOW);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
