// Looks at the windows of another program from outside, as accessibility
// tools do, and prints what the end-to-end tests check: for every visible
// top-level window whose title starts with the given prefix, its title, the
// screen position of its client area, the caption of the visible notebook
// page, and the text of every visible edit and combo box with its position
// in the client area. Waits up to `seconds` for such a window.
//   wizprobe <title-prefix> [seconds]
// Output, one item per line (UTF-8):
//   title <text>
//   client <x> <y>
//   page <caption>
//   edit <x> <y> <text>
//   combo <x> <y> <text>
//   button <x> <y> <text>   (the system's buttons, as in a message box)
//   static <text>           (the system's static texts)
// and an empty line after each window.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text) {
  if (text.empty())
    return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::wstring TextOf(HWND window) {
  // WM_GETTEXT crosses the process boundary; GetWindowText would not ask
  // another process's window for an edit's text.
  wchar_t buffer[2048] = {};
  SendMessageTimeoutW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                      2000, nullptr);
  return buffer;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[128] = {};
  GetClassNameW(window, name, 128);
  return name;
}

// A window of the system's class `kind`, or of a class built on it (the
// window framework registers "KaEDIT" over "EDIT").
bool IsKind(const std::wstring& cls, const wchar_t* kind) {
  const size_t n = wcslen(kind);
  return cls.size() >= n && _wcsicmp(cls.c_str() + cls.size() - n, kind) == 0;
}

struct TFound {
  std::wstring Prefix;
  std::vector<HWND> Windows;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
  return TRUE;
}

BOOL CALLBACK CollectTop(HWND window, LPARAM param) {
  auto& f = *reinterpret_cast<TFound*>(param);
  if (IsWindowVisible(window) && TextOf(window).rfind(f.Prefix, 0) == 0)
    f.Windows.push_back(window);
  return TRUE;
}

void Describe(HWND top) {
  std::printf("title %s\n", Utf8(TextOf(top)).c_str());
  POINT origin{0, 0};
  ClientToScreen(top, &origin);
  std::printf("client %ld %ld\n", origin.x, origin.y);
  std::vector<HWND> children;
  EnumChildWindows(top, CollectChild, reinterpret_cast<LPARAM>(&children));
  for (HWND child : children) {
    if (!IsWindowVisible(child))
      continue;
    RECT r;
    GetWindowRect(child, &r);
    const long x = r.left - origin.x, y = r.top - origin.y;
    std::wstring cls = ClassOf(child);
    // A notebook's page: a child of a child of the window, filling it.
    HWND parent = GetParent(child);
    if (parent && GetParent(parent) == top && !IsKind(cls, L"Edit") && !IsKind(cls, L"ComboBox")) {
      std::wstring caption = TextOf(child);
      if (!caption.empty())
        std::printf("page %s\n", Utf8(caption).c_str());
    }
    if (IsKind(cls, L"Edit") && !IsKind(ClassOf(parent), L"ComboBox"))
      std::printf("edit %ld %ld %s\n", x, y, Utf8(TextOf(child)).c_str());
    else if (IsKind(cls, L"ComboBox"))
      std::printf("combo %ld %ld %s\n", x, y, Utf8(TextOf(child)).c_str());
    else if (IsKind(cls, L"Button"))
      std::printf("button %ld %ld %s\n", x, y, Utf8(TextOf(child)).c_str());
    else if (IsKind(cls, L"Static"))
      std::printf("static %s\n", Utf8(TextOf(child)).c_str());
  }
  std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: wizprobe <title-prefix> [seconds]\n");
    return 2;
  }
  std::string prefix8 = argv[1];
  std::wstring prefix(prefix8.begin(), prefix8.end());
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 0;
  TFound found{prefix, {}};
  for (int waited = 0;; waited += 50) {
    found.Windows.clear();
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&found));
    if (!found.Windows.empty() || waited >= seconds * 1000)
      break;
    Sleep(50);
  }
  for (HWND window : found.Windows)
    Describe(window);
  return found.Windows.empty() ? 1 : 0;
}
