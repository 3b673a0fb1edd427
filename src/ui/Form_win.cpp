#include "ui/Form_win.h"

#include "ui/Application_win.h"
#include "ui/KaDpi.h"
#include "ui/TaskWindows_win.h"

TForm::TForm() : TWinControl(nullptr) {
  SetVisible(false);
  SetParentFont(false);
  SetFont(TFont{}); // Tahoma, 8 points, ANSI
}

TForm::~TForm() {
  // The handlers belong to the form's descendants, which are gone.
  FDestroying = true;
  OnDestroy = nullptr;
  OnHide = nullptr;
  if (Application().MainForm() == this)
    Application().SetMainForm(nullptr);
}

void TForm::SetBorderStyle(TFormBorderStyle style) { FBorderStyle = style; }

void TForm::CreateParams(TCreateParams& p) {
  p.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  switch (FBorderStyle) {
  case bsNone: p.Style |= WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX; break;
  case bsSingle: p.Style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX; break;
  case bsSizeable: p.Style |= WS_OVERLAPPEDWINDOW; break;
  case bsDialog:
    p.Style |= WS_POPUP | WS_CAPTION | WS_SYSMENU;
    p.ExStyle |= WS_EX_DLGMODALFRAME;
    break;
  }
  // Other forms belong to the main form: they stay above it and share its
  // task bar button.
  TForm* main = Application().MainForm();
  if (main && main != this && main->HandleAllocated())
    p.WndParent = main->Handle();
  else
    p.ExStyle |= WS_EX_APPWINDOW;
}

void TForm::HandleCreated() { ApplyClientSize(); }

void TForm::HandleDestroying() {
  if (!FDestroying)
    CatchAll(0, [&] {
      Fire(OnDestroy, *this);
      return 0;
    });
}

void TForm::DoCreate() {
  CatchAll(0, [&] {
    Fire(OnCreate, *this);
    return 0;
  });
}

TRect TForm::ClientRect() const {
  if (FHandle) {
    RECT r;
    GetClientRect(FHandle, &r);
    return ToLogical(TRect{0, 0, r.right, r.bottom});
  }
  if (FPendingClientSize.Width >= 0)
    return {0, 0, FPendingClientSize.Width, FPendingClientSize.Height};
  return {0, 0, Width(), Height()};
}

int TForm::ClientWidth() { return ClientRect().Width(); }
int TForm::ClientHeight() { return ClientRect().Height(); }

void TForm::SetClientSize(int width, int height) {
  FPendingClientSize = {width, height};
  if (HandleAllocated())
    ApplyClientSize();
  else
    SetBounds(Left(), Top(), width, height);
}

void TForm::ApplyClientSize() {
  if (FPendingClientSize.Width < 0)
    return;
  RECT w, c;
  GetWindowRect(Handle(), &w);
  GetClientRect(Handle(), &c);
  const int frameW = ToLogical((w.right - w.left) - c.right);
  const int frameH = ToLogical((w.bottom - w.top) - c.bottom);
  const TSize want = FPendingClientSize;
  FPendingClientSize = {-1, -1};
  SetBounds(Left(), Top(), want.Width + frameW, want.Height + frameH);
}

void TForm::SetMinSize(int width, int height) { FMinSize = {width, height}; }

TWindowState TForm::WindowState() const {
  if (FHandle && IsIconic(FHandle))
    return wsMinimized;
  if (FHandle && IsZoomed(FHandle))
    return wsMaximized;
  return wsNormal;
}

void TForm::SetWindowState(TWindowState state) {
  static const int commands[] = {SW_RESTORE, SW_MINIMIZE, SW_MAXIMIZE};
  ShowWindow(Handle(), commands[state]);
}

void TForm::Show() {
  HandleNeeded();
  if (!Visible())
    SetVisible(true);
  else if (!IsWindowVisible(Handle()))
    VisibleChanged();
  SetForegroundWindow(Handle());
}

void TForm::VisibleChanged() {
  if (!HandleAllocated())
    return;
  if (Visible()) {
    // As the system's dialogs do: a failing OnShow is shown, and the form
    // opens all the same.
    CatchAll(0, [&] {
      Fire(OnShow, *this);
      return 0;
    });
    ShowWindow(Handle(), SW_SHOW);
  } else {
    ShowWindow(Handle(), SW_HIDE);
    CatchAll(0, [&] {
      Fire(OnHide, *this);
      return 0;
    });
  }
}

TModalResult TForm::ShowModal() {
  if (FModal || (HandleAllocated() && IsWindowVisible(Handle())))
    throw EInvalidOperation("Cannot make a visible window modal");
  HandleNeeded();
  TTaskWindowsDisabler others(Handle());
  struct TModalScope {
    bool& Flag;
    ~TModalScope() { Flag = false; }
  } scope{FModal};
  FModal = true;
  FModalResult = mrNone;
  Show();
  TApplication& app = Application();
  try {
    do {
      app.HandleMessage();
      if (app.Terminated())
        FModalResult = mrCancel;
      if (FModalResult != mrNone)
        CloseModal();
    } while (FModalResult == mrNone);
  } catch (...) {
    others.Restore();
    SetVisible(false);
    throw;
  }
  // The others come back before this one goes, so that the system hands the
  // activation to the program's window and not to another program.
  others.Restore();
  SetVisible(false);
  return FModalResult;
}

void TForm::CloseModal() {
  bool canClose = true;
  Fire(OnCloseQuery, *this, canClose);
  TCloseAction action = canClose ? caHide : caNone;
  Fire(OnClose, *this, action);
  if (action == caNone && !Application().Terminated())
    FModalResult = mrNone;
}

void TForm::Close() {
  if (FModal) {
    FModalResult = mrCancel;
    return;
  }
  bool canClose = true;
  Fire(OnCloseQuery, *this, canClose);
  if (!canClose)
    return;
  TCloseAction action = caHide;
  Fire(OnClose, *this, action);
  if (action == caNone)
    return;
  if (Application().MainForm() == this)
    Application().Terminate();
  else if (action == caMinimize)
    SetWindowState(wsMinimized);
  else
    SetVisible(false);
}

void TForm::SetActiveControl(TWinControl* control) {
  FActiveControl = control;
  if (control && HandleAllocated() && IsWindowVisible(Handle()) && control->CanFocus())
    control->SetFocus();
}

void TForm::FocusArrived(TWinControl* control) {
  FActiveControl = control;
  Broadcast(*this, [&](TControl& c) {
    c.FocusChanged(control);
    return false;
  });
}

template <class F> bool TForm::Broadcast(TWinControl& parent, F call) {
  for (TControl* c : std::vector<TControl*>(parent.Controls())) {
    if (call(*c))
      return true;
    if (c->IsWindowed() && Broadcast(*static_cast<TWinControl*>(c), call))
      return true;
  }
  return false;
}

bool TForm::SelectNext(TWinControl* current, bool forward, bool checkTabStop) {
  const std::vector<TWinControl*> list = TabOrderList();
  const int n = static_cast<int>(list.size());
  if (n == 0)
    return false;
  int start = -1;
  for (int i = 0; i < n; ++i) {
    if (list[i] == current)
      start = i;
  }
  if (start < 0)
    start = forward ? n - 1 : 0;
  // Arrows stay among the current control's siblings; Tab goes everywhere.
  const bool sameParent = !checkTabStop && current;
  for (int step = 1; step <= n; ++step) {
    TWinControl* c = list[(start + (forward ? step : n - step)) % n];
    if (sameParent && c->Parent() != current->Parent())
      continue;
    if (c->CanFocus() && (!checkTabStop || c->TabStop())) {
      c->SetFocus();
      return true;
    }
  }
  return false;
}

bool TForm::DialogKey(WORD key, TShiftState shift) {
  if (!(shift & (ssAlt | ssCtrl))) {
    switch (key) {
    case VK_TAB: SelectNext(FActiveControl, !(shift & ssShift), true); return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      if (FActiveControl) {
        SelectNext(FActiveControl, key == VK_RIGHT || key == VK_DOWN, false);
        return true;
      }
      break;
    default: break;
    }
  }
  return Broadcast(*this, [&](TControl& c) { return c.DialogKey(key, shift); });
}

bool TForm::DialogChar(char16_t ch) {
  return Broadcast(*this, [&](TControl& c) { return c.DialogChar(ch); });
}

void TForm::WndProc(TMessage& m) {
  switch (m.Msg) {
  case WM_CLOSE:
    // Never the system's handling, which destroys the window: closing is
    // Close's business, and it destroys nothing.
    Close();
    return;
  case WM_GETMINMAXINFO:
    TWinControl::WndProc(m);
    if (FMinSize.Width > 0 || FMinSize.Height > 0) {
      auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
      info->ptMinTrackSize = {ToDevice(FMinSize.Width), ToDevice(FMinSize.Height)};
    }
    return;
  case WM_ACTIVATE:
    TWinControl::WndProc(m);
    if (LOWORD(m.WParam) != WA_INACTIVE && !HIWORD(m.WParam)) {
      // The focus goes back where it was, or to the first tab stop.
      if (FActiveControl && FActiveControl->CanFocus())
        ::SetFocus(FActiveControl->Handle());
      else
        SelectNext(nullptr, true, true);
    }
    return;
  default: break;
  }
  TWinControl::WndProc(m);
}
