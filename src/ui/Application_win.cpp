#include "ui/Application_win.h"

#include "base/KaProgramPaths.h"
#include "base/KaText.h"
#include "i18n/KaTranslator.h"
#include "ui/Timer_win.h"

#include <algorithm>
#include <map>

// The application's hidden window: timers tick on it, and Terminate wakes
// the message loop through it.
class TApplication::TMessageWindow : public TWinControl {
public:
  TMessageWindow() : TWinControl(nullptr) { SetVisible(false); }

  std::map<UINT_PTR, TTimer*> Timers;
  UINT_PTR NextId = 1;

protected:
  void CreateParams(TCreateParams& params) override {
    params.Style = 0;
    params.WndParent = HWND_MESSAGE;
  }

  void WndProc(TMessage& m) override {
    if (m.Msg == WM_TIMER) {
      auto it = Timers.find(m.WParam);
      if (it != Timers.end())
        it->second->Tick();
      return;
    }
    TWinControl::WndProc(m);
  }
};

TApplication::TApplication() : FTitle(ExeBaseName()) {
  // Every control tells the layout manager when it goes, and the
  // application's own window goes only as the program ends. The manager,
  // made first, is destroyed after the application, not before.
  LayoutManager();
}

TApplication::~TApplication() = default;

TApplication& Application() {
  static TApplication single;
  return single;
}

TApplication::TMessageWindow& TApplication::Window() {
  if (!FWindow)
    FWindow = std::make_unique<TMessageWindow>();
  FWindow->HandleNeeded();
  return *FWindow;
}

void TApplication::Adopt(std::unique_ptr<TForm> form) {
  TForm& f = *form;
  FForms.push_back(std::move(form));
  if (!FMainForm)
    FMainForm = &f;
  f.DoCreate();
}

void TApplication::Run() {
  if (FMainForm) {
    CatchAll(0, [&] {
      FMainForm->Show();
      return 0;
    });
  }
  while (!FTerminated)
    HandleMessage();
  if (FMainForm)
    FMainForm->DestroyHandle();
  DestroyForms();
}

void TApplication::DestroyForms() {
  while (!FForms.empty()) {
    std::unique_ptr<TForm> form = std::move(FForms.back());
    FForms.pop_back();
    if (FMainForm == form.get())
      FMainForm = nullptr;
    form->DestroyHandle();
    form.reset();
  }
}

void TApplication::Restart() { FTerminated = false; }

void TApplication::Terminate() {
  FTerminated = true;
  // Wakes a loop that waits for messages; no WM_QUIT, which a later loop
  // would meet.
  PostMessageW(Window().Handle(), WM_NULL, 0, 0);
}

void TApplication::ProcessMessages() {
  while (ProcessMessage()) {
  }
}

void TApplication::HandleMessage() {
  if (!ProcessMessage() && !FTerminated)
    WaitMessage();
}

bool TApplication::ProcessMessage() {
  MSG msg;
  if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    return false;
  if (msg.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  // Dialog keys run handlers (Enter clicks a button) from here, outside any
  // window procedure: they have their own exception boundary.
  if (!CatchAll(true, [&] { return IsDialogMessage(msg); })) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

bool TApplication::IsDialogMessage(MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN && msg.message != WM_CHAR &&
      msg.message != WM_SYSCHAR)
    return false;
  TWinControl* control = TWinControl::FindControl(msg.hwnd);
  TForm* form = control ? control->ParentForm() : nullptr;
  if (!form)
    return false;
  // The focused window says which keys it takes itself, as it does for the
  // system's dialog manager (an edit takes typing and arrows, a dropped-down
  // combo box Enter and Escape).
  LRESULT code = SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
  if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE))
    return false;
  if (msg.message == WM_SYSCHAR)
    return form->DialogChar(static_cast<char16_t>(msg.wParam));
  if (msg.message == WM_CHAR) {
    if ((code & DLGC_WANTCHARS) || msg.wParam < 32)
      return false;
    return form->DialogChar(static_cast<char16_t>(msg.wParam));
  }
  const WORD key = static_cast<WORD>(msg.wParam);
  switch (key) {
  case VK_TAB:
    if (code & DLGC_WANTTAB)
      return false;
    break;
  case VK_LEFT:
  case VK_RIGHT:
  case VK_UP:
  case VK_DOWN:
    if (code & DLGC_WANTARROWS)
      return false;
    break;
  case VK_RETURN:
  case VK_ESCAPE: break;
  default: return false;
  }
  return form->DialogKey(key, KeyboardShiftState());
}

std::string TApplication::ExceptionMessage(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const Exception& e) {
    return e.Message();
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "Unknown exception";
  }
}

void TApplication::HandleException(std::exception_ptr error) noexcept {
  try {
    std::string message = ExceptionMessage(error);
    if (OnException) {
      auto display = OnException;
      display(message);
      return;
    }
    std::u16string text = Translate(ToWide(message));
    std::u16string title = ToWide(FTitle);
    HWND owner = GetActiveWindow();
    if (!owner && FMainForm && FMainForm->HandleAllocated())
      owner = FMainForm->Handle();
    MessageBoxW(owner, reinterpret_cast<const wchar_t*>(text.c_str()),
                reinterpret_cast<const wchar_t*>(title.c_str()), MB_OK | MB_ICONERROR);
  } catch (...) {
    // The display itself failed (no memory): nothing more can be shown.
  }
}

void TApplication::StartTimer(TTimer* timer, unsigned intervalMs) {
  TMessageWindow& w = Window();
  UINT_PTR id = 0;
  for (const auto& [key, t] : w.Timers) {
    if (t == timer)
      id = key;
  }
  if (!id) {
    id = w.NextId++;
    w.Timers[id] = timer;
  }
  SetTimer(w.Handle(), id, intervalMs, nullptr);
}

void TApplication::StopTimer(TTimer* timer) {
  if (!FWindow)
    return;
  for (auto it = FWindow->Timers.begin(); it != FWindow->Timers.end(); ++it) {
    if (it->second == timer) {
      if (FWindow->HandleAllocated())
        KillTimer(FWindow->Handle(), it->first);
      FWindow->Timers.erase(it);
      return;
    }
  }
}
