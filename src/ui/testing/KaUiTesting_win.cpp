#include "ui/testing/KaUiTesting_win.h"

#include "base/KaText.h"
#include "i18n/KaTranslator.h"
#include "ui/KaDpi.h"

#include <chrono>

TBitmap RenderControl(TWinControl& control, TColor background) {
  TBitmap b(ToDevice(control.Width()), ToDevice(control.Height()));
  b.Fill(background);
  control.PaintTo(b.DC(), 0, 0);
  GdiFlush();
  return b;
}

TBitmap CaptureWindow(TWinControl& control) {
  HWND window = control.Handle();
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpMessages();
  RECT r;
  GetWindowRect(window, &r);
  TBitmap b(r.right - r.left, r.bottom - r.top);
  HDC dc = GetWindowDC(window);
  BitBlt(b.DC(), 0, 0, b.Width(), b.Height(), dc, 0, 0, SRCCOPY);
  ReleaseDC(window, dc);
  GdiFlush();
  return b;
}

bool PumpUntil(const std::function<bool()>& done, unsigned limitMs) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end)
      return done();
    Application().ProcessMessages();
    if (!done())
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

void PumpMessages() {
  // Twice, with a pause: what the first round posts arrives in the second.
  for (int i = 0; i < 2; ++i) {
    Application().ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  Application().ProcessMessages();
}

void ClickAt(TControl& control, int x, int y) {
  TPoint screen = control.ClientToScreen({x, y});
  HWND window = WindowFromPoint({screen.X, screen.Y});
  POINT p{screen.X, screen.Y};
  ScreenToClient(window, &p);
  LPARAM at = MAKELPARAM(p.x, p.y);
  PostMessageW(window, WM_MOUSEMOVE, 0, at);
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(window, WM_LBUTTONUP, 0, at);
  PumpMessages();
}

void Click(TControl& control) { ClickAt(control, control.Width() / 2, control.Height() / 2); }

void MovePointer(TControl& control, int x, int y) { MovePointerTo(control.ClientToScreen({x, y})); }

void MovePointerTo(TPoint screen) {
  SetCursorPos(screen.X, screen.Y);
  PumpMessages();
}

void PointerButton(TMouseButton button, bool down) {
  static const DWORD flags[][2] = {{MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN},
                                   {MOUSEEVENTF_RIGHTUP, MOUSEEVENTF_RIGHTDOWN},
                                   {MOUSEEVENTF_MIDDLEUP, MOUSEEVENTF_MIDDLEDOWN}};
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags[button][down];
  SendInput(1, &input, sizeof input);
  PumpMessages();
}

void PressKey(WORD key) {
  HWND focus = GetFocus();
  UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
  PostMessageW(focus, WM_KEYDOWN, key, 1 | (scan << 16));
  PostMessageW(focus, WM_KEYUP, key, 1 | (scan << 16) | (3u << 30));
  PumpMessages();
}

void TypeKeys(std::u16string_view text) {
  for (char16_t c : text)
    PressKey(LOBYTE(VkKeyScanW(static_cast<wchar_t>(c))));
}

void PressAltChar(char16_t ch) {
  HWND focus = GetFocus();
  PostMessageW(focus, WM_SYSCHAR, ch, 1 | (1u << 29));
  PumpMessages();
}

void UseLanguage(std::string_view code,
                 std::initializer_list<std::pair<const char16_t*, const char16_t*>> texts) {
  ITranslatorPtr t = Translator();
  if (t->IndexOfCode(code) < 0) {
    ILanguagePtr language = t->AddLanguage(code);
    for (const auto& [key, value] : texts)
      language->AddText(key, value);
  }
  t->SetLanguage(ToWide(code));
}

TErrorDisplayWatch::TErrorDisplayWatch() : FPrevious(Application().OnException) {
  Application().OnException = [this](const std::string& message) { FMessages.push_back(message); };
}

TErrorDisplayWatch::~TErrorDisplayWatch() { Application().OnException = FPrevious; }

TMessageBoxCloser::TMessageBoxCloser(std::u16string title, unsigned limitMs)
    : FTitle(std::move(title)) {
  FThread = std::thread([this, limitMs] {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!FStop && std::chrono::steady_clock::now() < end) {
      HWND box = FindWindowW(L"#32770", reinterpret_cast<const wchar_t*>(FTitle.c_str()));
      if (box) {
        wchar_t text[1024] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 1024); // the message box's text
        {
          std::lock_guard guard(FLock);
          FText = reinterpret_cast<const char16_t*>(text);
        }
        FSeen = true;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });
}

TMessageBoxCloser::~TMessageBoxCloser() {
  FStop = true;
  FThread.join();
}

std::u16string TMessageBoxCloser::Text() const {
  std::lock_guard guard(FLock);
  return FText;
}

TTestForm::TTestForm(int width, int height) {
  SetBorderStyle(bsNone);
  SetBounds(0, 0, width, height);
  SetColor(0xFFFFFF);
  if (!Application().MainForm())
    Application().SetMainForm(this);
  Show();
  PumpMessages();
}

void TTestForm::CreateParams(TCreateParams& params) {
  TForm::CreateParams(params);
  params.ExStyle &= ~WS_EX_APPWINDOW;
}

TTestForm::~TTestForm() {
  if (Application().MainForm() == this)
    Application().SetMainForm(nullptr);
}
