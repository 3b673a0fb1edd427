#include "ui/WinControl_win.h"

#include "ui/Application_win.h"
#include "ui/Font_win.h"
#include "ui/Form_win.h"
#include "ui/GraphicControl_win.h"
#include "ui/KaDpi.h"
#include "ui/KaScreenCursor_win.h"

#include <algorithm>
#include <mutex>
#include <string>

namespace {

// The window classes of the framework: one of its own for the windows it
// paints, and one built on each system class a control uses ("EDIT" becomes
// "KaEDIT"), all with the one window procedure. The system class's own
// procedure is kept as the default handling of its windows.
struct TWindowClass {
  std::wstring SystemName;
  ATOM Atom;
  WNDPROC BaseProc;
};

std::mutex ClassLock;
std::vector<TWindowClass> Classes;

TWindowClass WindowClassFor(const wchar_t* systemName, WNDPROC procedure) {
  std::wstring key = systemName ? systemName : L"";
  std::lock_guard guard(ClassLock);
  for (const TWindowClass& c : Classes) {
    if (c.SystemName == key)
      return c;
  }
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  WNDPROC base = DefWindowProcW;
  if (systemName) {
    if (!GetClassInfoExW(nullptr, systemName, &wc))
      RaiseLastOSError(GetLastError());
    base = wc.lpfnWndProc;
    wc.style &= ~CS_GLOBALCLASS;
  } else {
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  }
  std::wstring name = L"Ka" + (key.empty() ? std::wstring(L"Window") : key);
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = name.c_str();
  wc.hbrBackground = nullptr;
  ATOM atom = RegisterClassExW(&wc);
  if (!atom)
    RaiseLastOSError(GetLastError());
  Classes.push_back({key, atom, base});
  return Classes.back();
}

// The class's own procedure for a window whose object is not known yet.
WNDPROC BaseProcOf(HWND window) {
  ATOM atom = static_cast<ATOM>(GetClassWord(window, GCW_ATOM));
  std::lock_guard guard(ClassLock);
  for (const TWindowClass& c : Classes) {
    if (c.Atom == atom)
      return c.BaseProc;
  }
  return DefWindowProcW;
}

bool IsFrameworkWindow(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId())
    return false;
  ATOM atom = static_cast<ATOM>(GetClassWord(window, GCW_ATOM));
  std::lock_guard guard(ClassLock);
  return std::any_of(Classes.begin(), Classes.end(),
                     [&](const TWindowClass& c) { return c.Atom == atom; });
}

// Control identifiers of child windows: WM_MEASUREITEM names its control by
// identifier only.
UINT_PTR NextControlId() {
  static UINT_PTR next = 100;
  if (++next > 0xFFFF)
    next = 101;
  return next;
}

// Asks a parent to make the windows of children that were added after its
// own window was made.
const UINT CM_CREATECHILDREN = WM_APP + 0x3A01;

TPoint MousePoint(LPARAM lParam) {
  return {ToLogical(static_cast<short>(LOWORD(lParam))),
          ToLogical(static_cast<short>(HIWORD(lParam)))};
}

TShiftState MouseShift(WPARAM wParam) {
  TShiftState s = 0;
  if (wParam & MK_SHIFT)
    s |= ssShift;
  if (wParam & MK_CONTROL)
    s |= ssCtrl;
  if (wParam & MK_LBUTTON)
    s |= ssLeft;
  if (wParam & MK_RBUTTON)
    s |= ssRight;
  if (wParam & MK_MBUTTON)
    s |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0)
    s |= ssAlt;
  return s;
}

// Sets a flag for the length of a scope, also when it is left by an
// exception.
class TFlagScope {
public:
  explicit TFlagScope(bool& flag) : FFlag(flag), FOld(flag) { flag = true; }
  ~TFlagScope() { FFlag = FOld; }

private:
  bool& FFlag;
  bool FOld;
};

} // namespace

TWinControl::TWinControl(TWinControl* parent) : TControl(nullptr) {
  WindowProc = [this](TMessage& m) { WndProc(m); };
  if (parent)
    parent->InsertControl(this);
}

TWinControl::~TWinControl() {
  // A replaced handler may belong to a component that has gone already.
  WindowProc = [this](TMessage& m) { WndProc(m); };
  for (TControl* child : std::vector<TControl*>(FControls))
    RemoveControl(child);
  DestroyHandle();
}

HWND TWinControl::Handle() {
  if (!FHandle) {
    if (Parent())
      Parent()->Handle(); // makes ours too
    if (!FHandle)
      CreateHandle();
  }
  return FHandle;
}

void TWinControl::HandleNeeded() {
  Handle();
  CreateChildHandles();
}

void TWinControl::CreateChildHandles() {
  for (TControl* c : std::vector<TControl*>(FControls)) {
    if (!c->IsWindowed())
      continue;
    auto* w = static_cast<TWinControl*>(c);
    if (!w->FHandle)
      w->CreateHandle();
    else
      w->CreateChildHandles();
  }
}

void TWinControl::CreateHandle() {
  TCreateParams p;
  p.Caption = FText;
  CreateParams(p);
  if (Parent())
    p.WndParent = Parent()->Handle();
  const TWindowClass cls = WindowClassFor(p.SystemClass, WindowProcedure);
  FDefWndProc = cls.BaseProc;
  FOwnPainting = p.SystemClass == nullptr;
  const bool child = (p.Style & WS_CHILD) != 0;
  if (child && Visible())
    p.Style |= WS_VISIBLE;
  if (!Enabled())
    p.Style |= WS_DISABLED;
  const TRect r = ToDevice(WindowRectFor(BoundsRect()));
  HMENU id = child ? reinterpret_cast<HMENU>(NextControlId()) : nullptr;
  {
    TFlagScope applying(FApplyingBounds);
    CreateWindowExW(p.ExStyle, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(cls.Atom)),
                    reinterpret_cast<const wchar_t*>(p.Caption.c_str()), p.Style, r.Left, r.Top,
                    r.Width(), r.Height(), p.WndParent, id, GetModuleHandleW(nullptr), this);
  }
  if (!FHandle)
    throw EInvalidOperation("Error creating window: " + SysErrorMessage(GetLastError()));
  if (!FOwnPainting)
    SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(Font())), FALSE);
  FClientSize = ClientRect().Size();
  CreateChildHandles();
  Realign();
  HandleCreated();
}

void TWinControl::DestroyHandle() {
  if (FHandle)
    DestroyWindow(FHandle);
}

TWinControl* TWinControl::FromHandle(HWND window) {
  if (!window || !IsFrameworkWindow(window))
    return nullptr;
  return reinterpret_cast<TWinControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

TWinControl* TWinControl::FindControl(HWND window) {
  for (HWND w = window; w; w = GetParent(w)) {
    if (TWinControl* c = FromHandle(w))
      return c;
  }
  return nullptr;
}

LRESULT CALLBACK TWinControl::WindowProcedure(HWND hwnd, UINT msg, WPARAM wParam,
                                              LPARAM lParam) noexcept {
  auto* self = reinterpret_cast<TWinControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self && msg == WM_NCCREATE) {
    self = static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    if (self) {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      self->FHandle = hwnd;
    }
  }
  if (!self)
    return CallWindowProcW(BaseProcOf(hwnd), hwnd, msg, wParam, lParam);
  TMessage m{msg, wParam, lParam, 0};
  if (!CatchAll(false, [&] {
        self->WindowProc(m);
        return true;
      }))
    m.Result = 0;
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->FHandle = nullptr;
    self->FBackBuffer.SetSize(0, 0);
  }
  return m.Result;
}

LRESULT TWinControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  WindowProc(m);
  return m.Result;
}

void TWinControl::DefaultHandler(TMessage& m) {
  m.Result = CallWindowProcW(FDefWndProc ? FDefWndProc : DefWindowProcW, FHandle, m.Msg, m.WParam,
                             m.LParam);
}

void TWinControl::WndProc(TMessage& m) {
  switch (m.Msg) {
  case WM_PAINT:
    if (FOwnPainting)
      return WMPaint(m);
    break;
  case WM_ERASEBKGND:
    // Everything is painted in WM_PAINT, from the back buffer.
    if (FOwnPainting) {
      m.Result = 1;
      return;
    }
    break;
  case WM_PRINTCLIENT:
    if (FOwnPainting) {
      PaintContent(reinterpret_cast<HDC>(m.WParam), ClientRect());
      return;
    }
    break;
  case WM_SETCURSOR: return WMSetCursor(m);
  case WM_WINDOWPOSCHANGED: return WMWindowPosChanged(m);
  case WM_SETFOCUS:
    DefaultHandler(m);
    FocusArrived();
    return;
  case WM_KILLFOCUS:
    DefaultHandler(m);
    FocusLeft();
    return;
  case WM_KEYDOWN:
  case WM_SYSKEYDOWN: {
    WORD key = static_cast<WORD>(m.WParam);
    KeyDown(key, KeyboardShiftState());
    if (!key)
      return;
    m.WParam = key;
    break;
  }
  case WM_KEYUP:
  case WM_SYSKEYUP: {
    WORD key = static_cast<WORD>(m.WParam);
    KeyUp(key, KeyboardShiftState());
    if (!key)
      return;
    m.WParam = key;
    break;
  }
  case WM_CHAR: {
    char16_t key = static_cast<char16_t>(m.WParam);
    KeyPress(key);
    if (!key)
      return;
    m.WParam = key;
    break;
  }
  case WM_MOUSEMOVE:
  case WM_LBUTTONDOWN:
  case WM_LBUTTONUP:
  case WM_RBUTTONDOWN:
  case WM_RBUTTONUP:
  case WM_MBUTTONDOWN:
  case WM_MBUTTONUP: return MouseMessage(m);
  case WM_MOUSELEAVE: MouseLeft(); break;
  case WM_COMMAND:
  case WM_NOTIFY:
  case WM_DRAWITEM:
  case WM_MEASUREITEM:
  case WM_DELETEITEM:
  case WM_COMPAREITEM:
  case WM_CTLCOLORMSGBOX:
  case WM_CTLCOLOREDIT:
  case WM_CTLCOLORLISTBOX:
  case WM_CTLCOLORBTN:
  case WM_CTLCOLORDLG:
  case WM_CTLCOLORSCROLLBAR:
  case WM_CTLCOLORSTATIC:
  case WM_HSCROLL:
  case WM_VSCROLL:
    if (ReflectToChild(m))
      return;
    break;
  case WM_DESTROY: HandleDestroying(); break;
  default:
    if (m.Msg == CM_CREATECHILDREN) {
      CreateChildHandles();
      return;
    }
    break;
  }
  DefaultHandler(m);
}

bool TWinControl::ReflectToChild(TMessage& m) {
  HWND child = nullptr;
  switch (m.Msg) {
  case WM_COMMAND:
  case WM_HSCROLL:
  case WM_VSCROLL: child = reinterpret_cast<HWND>(m.LParam); break;
  case WM_NOTIFY: child = reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom; break;
  case WM_DRAWITEM: {
    auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
    child = d->CtlType == ODT_MENU ? nullptr : d->hwndItem;
    break;
  }
  case WM_MEASUREITEM: {
    auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
    child = mi->CtlType == ODT_MENU ? nullptr : GetDlgItem(FHandle, static_cast<int>(mi->CtlID));
    break;
  }
  case WM_DELETEITEM: child = reinterpret_cast<DELETEITEMSTRUCT*>(m.LParam)->hwndItem; break;
  case WM_COMPAREITEM: child = reinterpret_cast<COMPAREITEMSTRUCT*>(m.LParam)->hwndItem; break;
  default: child = reinterpret_cast<HWND>(m.LParam); break; // the control colours
  }
  if (!child)
    return false;
  // The parts of a compound control (the edit of a combo box) speak for it.
  TWinControl* target = FromHandle(child);
  if (!target)
    target = FromHandle(GetParent(child));
  if (!target || target == this)
    return false;
  return target->Reflected(m);
}

void TWinControl::InsertControl(TControl* control) {
  control->FParent = this;
  FControls.push_back(control);
  if (control->IsWindowed()) {
    FTabList.push_back(static_cast<TWinControl*>(control));
    // The child is not whole yet (its constructor is running): its window
    // is made once the messages are handled, or when it is first needed.
    if (FHandle)
      PostMessageW(FHandle, CM_CREATECHILDREN, 0, 0);
  }
  if (control->Visible())
    InvalidateArea(control->BoundsRect());
  if (control->Align() != alNone)
    Realign();
}

void TWinControl::RemoveControl(TControl* control) {
  if (control->Visible())
    InvalidateArea(control->BoundsRect());
  std::erase(FControls, control);
  if (control->IsWindowed()) {
    auto* w = static_cast<TWinControl*>(control);
    std::erase(FTabList, w);
    if (TForm* form = ParentForm(); form && form->FActiveControl == w)
      form->FActiveControl = nullptr;
  }
  if (FMouseControl == control)
    FMouseControl = nullptr;
  if (FCaptureControl == control)
    FCaptureControl = nullptr;
  control->FParent = nullptr;
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled) const {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    TControl* c = *it;
    if (!c->IsWindowed() && c->Visible() && (allowDisabled || c->Enabled()) &&
        c->BoundsRect().Contains(p))
      return c;
  }
  return nullptr;
}

TControl* TWinControl::MouseTarget(TPoint p) const {
  TControl* c = ControlAtPos(p);
  return c ? c : const_cast<TWinControl*>(this);
}

void TWinControl::Realign() {
  if (FAligning)
    return;
  TFlagScope aligning(FAligning);
  TRect remaining = AlignRect();
  for (TAlign align : AlignOrder) {
    for (TControl* c : std::vector<TControl*>(FControls)) {
      if (c->Align() == align && c->Visible())
        c->SetBoundsRect(AlignInto(align, remaining, {c->Width(), c->Height()}));
    }
  }
}

void TWinControl::ClientSizeChanged(TSize before) {
  const TSize after = ClientRect().Size();
  FClientSize = after;
  if (FHandle && before != TSize{}) {
    for (TControl* c : std::vector<TControl*>(FControls)) {
      if (c->Align() == alNone && c->Anchors() != DefaultAnchors)
        c->SetBoundsRect(AnchoredBounds(c->BoundsRect(), c->Anchors(), before, after));
    }
  }
  Realign();
}

void TWinControl::BoundsChanged(const TRect& old) {
  if (!FHandle) {
    if (ClientRect().Size() != FClientSize)
      ClientSizeChanged(FClientSize);
    return;
  }
  const TRect r = ToDevice(WindowRectFor(BoundsRect()));
  TFlagScope applying(FApplyingBounds);
  SetWindowPos(FHandle, nullptr, r.Left, r.Top, r.Width(), r.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::ParentChanged() {
  if (!FHandle)
    return;
  // The window moves along when the new parent has one; otherwise it goes
  // and is made again under the new parent when needed.
  if (Parent() && Parent()->FHandle && (GetWindowLongW(FHandle, GWL_STYLE) & WS_CHILD)) {
    ::SetParent(FHandle, Parent()->FHandle);
    BoundsChanged(BoundsRect());
  } else {
    DestroyHandle();
  }
}

void TWinControl::WMWindowPosChanged(TMessage& m) {
  DefaultHandler(m);
  if (!FApplyingBounds && !IsIconic(FHandle)) {
    // Moved or sized by somebody else (the user dragging a form): the fields
    // follow the window.
    RECT wr;
    GetWindowRect(FHandle, &wr);
    if (HWND parent = GetParent(FHandle); parent && (GetWindowLongW(FHandle, GWL_STYLE) & WS_CHILD))
      MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&wr), 2);
    TRect b = ToLogical(TRect{wr.left, wr.top, wr.right, wr.bottom});
    if (b != WindowRectFor(BoundsRect())) {
      FLeft = b.Left;
      FTop = b.Top;
      FWidth = b.Width();
      FHeight = b.Height();
    }
  }
  if (ClientRect().Size() != FClientSize)
    ClientSizeChanged(FClientSize);
}

void TWinControl::VisibleChanged() {
  if (FHandle) {
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                     (Visible() ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  } else if (Visible() && Parent() && Parent()->FHandle) {
    CreateHandle();
  }
}

void TWinControl::EnabledChanged() {
  if (FHandle)
    EnableWindow(FHandle, Enabled());
  Invalidate();
}

void TWinControl::FontChanged() {
  if (FHandle && !FOwnPainting)
    SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(Font())), TRUE);
  Invalidate();
  for (TControl* c : std::vector<TControl*>(FControls)) {
    if (c->ParentFont())
      c->FontChanged();
  }
}

void TWinControl::ColorChanged() { Invalidate(); }

void TWinControl::SetParentBackground(bool value) {
  if (value == FParentBackground)
    return;
  FParentBackground = value;
  Invalidate();
}

int TWinControl::TabOrder() const {
  if (!Parent())
    return -1;
  const auto& list = Parent()->FTabList;
  return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int order) {
  if (!Parent())
    return;
  auto& list = Parent()->FTabList;
  std::erase(list, this);
  order = std::clamp(order, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + order, this);
}

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->Parent()) {
    if (!c->Visible() || !c->Enabled())
      return false;
  }
  return true;
}

bool TWinControl::Focused() const {
  HWND focus = GetFocus();
  return FHandle && focus && (focus == FHandle || IsChild(FHandle, focus));
}

void TWinControl::SetFocus() {
  if (!CanFocus())
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  ::SetFocus(Handle());
}

std::vector<TWinControl*> TWinControl::TabOrderList() const {
  std::vector<TWinControl*> out;
  for (TWinControl* c : FTabList) {
    out.push_back(c);
    std::vector<TWinControl*> inner = c->TabOrderList();
    out.insert(out.end(), inner.begin(), inner.end());
  }
  return out;
}

std::u16string TWinControl::Text() const {
  if (!FHandle)
    return FText;
  std::u16string text(static_cast<size_t>(GetWindowTextLengthW(FHandle)) + 1, u'\0');
  int n = GetWindowTextW(FHandle, reinterpret_cast<wchar_t*>(text.data()),
                         static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(std::max(n, 0)));
  return text;
}

void TWinControl::SetText(const std::u16string& text) {
  FText = text;
  if (FHandle)
    SetWindowTextW(FHandle, reinterpret_cast<const wchar_t*>(text.c_str()));
}

void TWinControl::Invalidate() {
  if (FHandle)
    InvalidateRect(FHandle, nullptr, FALSE);
}

void TWinControl::InvalidateArea(const TRect& area) {
  if (!FHandle)
    return;
  TRect d = ToDevice(area);
  RECT r{d.Left, d.Top, d.Right, d.Bottom};
  InvalidateRect(FHandle, &r, FALSE);
}

void TWinControl::Update() {
  if (FHandle)
    UpdateWindow(FHandle);
}

TPoint TWinControl::ClientToScreen(TPoint p) {
  if (!FHandle)
    return TControl::ClientToScreen(p);
  POINT q{ToDevice(p.X), ToDevice(p.Y)};
  ::ClientToScreen(FHandle, &q);
  return {q.x, q.y};
}

TPoint TWinControl::ScreenToClient(TPoint p) {
  if (!FHandle)
    return TControl::ScreenToClient(p);
  POINT q{p.X, p.Y};
  ::ScreenToClient(FHandle, &q);
  return {ToLogical(q.x), ToLogical(q.y)};
}

void TWinControl::WMPaint(TMessage& m) {
  PAINTSTRUCT ps;
  HDC screen = BeginPaint(FHandle, &ps);
  // The paint is over whatever happens below: a failing Paint is shown once
  // instead of being asked for again and again.
  struct TEndPaint {
    HWND Window;
    PAINTSTRUCT* Paint;
    ~TEndPaint() { EndPaint(Window, Paint); }
  } end{FHandle, &ps};
  RECT client;
  GetClientRect(FHandle, &client);
  if (FBackBuffer.Width() != client.right || FBackBuffer.Height() != client.bottom)
    FBackBuffer.SetSize(client.right, client.bottom);
  TRect area;
  if (FBackBuffer.Empty() ||
      !IntersectRect(area, {ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom},
                     {0, 0, client.right, client.bottom}))
    return;
  HDC dc = FBackBuffer.DC();
  int saved = SaveDC(dc);
  IntersectClipRect(dc, area.Left, area.Top, area.Right, area.Bottom);
  try {
    PaintContent(dc, ToLogical(area));
  } catch (...) {
    RestoreDC(dc, saved);
    throw;
  }
  RestoreDC(dc, saved);
  BitBlt(screen, area.Left, area.Top, area.Width(), area.Height(), dc, area.Left, area.Top,
         SRCCOPY);
}

void TWinControl::PaintTo(HDC dc, int x, int y) {
  int saved = SaveDC(dc);
  OffsetViewportOrgEx(dc, x, y, nullptr);
  TRect all = ClientRect();
  IntersectClipRect(dc, all.Left, all.Top, all.Right, all.Bottom);
  PaintContent(dc, all);
  RestoreDC(dc, saved);
}

void TWinControl::PaintContent(HDC dc, const TRect& area) {
  PaintBackground(dc, area);
  int saved = SaveDC(dc);
  SelectObject(dc, FontHandle(Font()));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorRef(Font().Color));
  Paint(dc);
  RestoreDC(dc, saved);
  PaintGraphicChildren(dc, area);
}

void TWinControl::PaintBackground(HDC dc, const TRect& area) {
  if (FParentBackground && Parent()) {
    Parent()->PaintUnder(*this, dc, area);
    return;
  }
  TRect d = ToDevice(area);
  RECT r{d.Left, d.Top, d.Right, d.Bottom};
  FillRect(dc, &r, SolidBrush(Color()));
}

void TWinControl::PaintUnder(TWinControl& child, HDC dc, const TRect& childArea) {
  int saved = SaveDC(dc);
  OffsetViewportOrgEx(dc, -ToDevice(child.Left()), -ToDevice(child.Top()), nullptr);
  PaintContent(dc, OffsetRect(childArea, child.Left(), child.Top()));
  RestoreDC(dc, saved);
}

void TWinControl::PaintGraphicChildren(HDC dc, const TRect& area) {
  for (TControl* c : FControls) {
    TRect clip;
    if (c->IsWindowed() || !c->Visible() || !IntersectRect(clip, c->BoundsRect(), area))
      continue;
    const TRect d = ToDevice(clip);
    int saved = SaveDC(dc);
    IntersectClipRect(dc, d.Left, d.Top, d.Right, d.Bottom);
    OffsetViewportOrgEx(dc, ToDevice(c->Left()), ToDevice(c->Top()), nullptr);
    SelectObject(dc, FontHandle(c->Font()));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorRef(c->Font().Color));
    try {
      static_cast<TGraphicControl*>(c)->Paint(dc);
    } catch (...) {
      RestoreDC(dc, saved);
      throw;
    }
    RestoreDC(dc, saved);
  }
}

void TWinControl::WMSetCursor(TMessage& m) {
  if (LOWORD(m.LParam) == HTCLIENT) {
    TCursor cursor = ScreenCursor();
    if (cursor == crDefault && reinterpret_cast<HWND>(m.WParam) == FHandle) {
      POINT p;
      GetCursorPos(&p);
      TControl* under = MouseTarget(ScreenToClient({p.x, p.y}));
      cursor = under->Cursor() != crDefault ? under->Cursor() : Cursor();
    }
    if (cursor != crDefault) {
      ::SetCursor(CursorHandle(cursor));
      m.Result = TRUE;
      return;
    }
  }
  DefaultHandler(m);
}

void TWinControl::MouseMessage(TMessage& m) {
  if (!FOwnPainting)
    DefaultHandler(m);
  const TPoint p = MousePoint(m.LParam);
  const TShiftState shift = MouseShift(m.WParam);
  const bool inside = ClientRect().Contains(p);
  auto local = [&](TControl* c) -> TPoint {
    return c == this ? p : TPoint{p.X - c->Left(), p.Y - c->Top()};
  };

  if (m.Msg == WM_MOUSEMOVE) {
    if (!FMouseInside) {
      FMouseInside = true;
      TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, FHandle, 0};
      TrackMouseEvent(&track);
    }
    TControl* under = inside ? MouseTarget(p) : nullptr;
    if (under != FMouseControl) {
      TControl* old = std::exchange(FMouseControl, under);
      if (old)
        old->MouseLeave();
      if (under)
        under->MouseEnter();
    }
    TControl* target = FCaptureControl ? FCaptureControl : (under ? under : this);
    TPoint q = local(target);
    target->MouseMove(shift, q.X, q.Y);
    return;
  }

  TMouseButton button = mbLeft;
  bool down = false;
  switch (m.Msg) {
  case WM_LBUTTONDOWN: down = true; break;
  case WM_RBUTTONDOWN:
    button = mbRight;
    down = true;
    break;
  case WM_MBUTTONDOWN:
    button = mbMiddle;
    down = true;
    break;
  case WM_RBUTTONUP: button = mbRight; break;
  case WM_MBUTTONUP: button = mbMiddle; break;
  default: break;
  }
  if (down) {
    TControl* target = MouseTarget(p);
    if (target != this)
      FCaptureControl = target;
    // The button's release comes here wherever the pointer is by then.
    if (FOwnPainting)
      SetCapture(FHandle);
    TPoint q = local(target);
    target->HandleMouseDown(button, shift, q.X, q.Y);
  } else {
    TControl* target = FCaptureControl ? FCaptureControl : this;
    FCaptureControl = nullptr;
    if (FOwnPainting && GetCapture() == FHandle &&
        !(m.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)))
      ReleaseCapture();
    TPoint q = local(target);
    target->HandleMouseUp(button, shift, q.X, q.Y);
  }
}

void TWinControl::MouseLeft() {
  FMouseInside = false;
  if (TControl* old = std::exchange(FMouseControl, nullptr))
    old->MouseLeave();
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) { Fire(OnKeyDown, *this, key, shift); }
void TWinControl::KeyUp(WORD& key, TShiftState shift) { Fire(OnKeyUp, *this, key, shift); }
void TWinControl::KeyPress(char16_t& key) { Fire(OnKeyPress, *this, key); }
void TWinControl::DoEnter() { Fire(OnEnter, *this); }

void TWinControl::FocusArrived() {
  if (TForm* form = ParentForm(); form && form != this)
    form->FocusArrived(this);
  DoEnter();
}
void TWinControl::DoExit() { Fire(OnExit, *this); }
