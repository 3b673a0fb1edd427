#pragma once

// A control with a window of its own (Windows only). The window is made when
// it is first needed (the form is shown, or Handle() is asked for), with a
// pointer to this object; one window procedure finds the object again for
// every message and hands the message to WindowProc. The pointer is cleared
// when the window is destroyed, so no message reaches an object after its
// window has gone.
//
// For a descendant:
// - CreateParams: the window's styles, and a system class to build on
//   ("EDIT", "COMBOBOX"), or none for a window the framework paints.
// - WndProc(TMessage&): override to handle messages; call the base version
//   for everything else (it ends in the system's handling, DefaultHandler).
// - Reflected(TMessage&): the notifications that Windows sends to the parent
//   about this control (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM,
//   WM_CTLCOLOR*, scroll messages) are handed back to the control's own
//   object here, with their original message code. Return true when handled
//   (with the answer in Result).
// - HandleCreated: the window exists now; apply what was stored meanwhile.
//
// No exception leaves the window procedure: whatever a handler raises is
// shown by Application().HandleException and the message is answered with 0.
//
// Painting of framework windows (no system class): the window paints into
// one back buffer of its size, then copies the painted part to the screen in
// one go, so nothing flickers and nothing is ever erased to a blank first.
// Into the buffer go, in this order: the background (Color, or with
// ParentBackground set what the parent paints beneath the control), Paint
// (TCustomControl), and the visible graphic children in z-order, each with
// the device context's origin at its top-left corner and clipped to it.

#include "ui/Bitmap_win.h"
#include "ui/Control_win.h"

#include <string>
#include <vector>

struct TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  LRESULT Result;
};

using TWndMethod = std::function<void(TMessage&)>;

using TKeyEvent = std::function<void(TComponent& sender, WORD& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TComponent& sender, char16_t& key)>;

struct TCreateParams {
  // A system window class the control is built on, none for the framework's
  // own windows.
  const wchar_t* SystemClass = nullptr;
  DWORD Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  DWORD ExStyle = 0;
  // Filled in from the parent; a top-level window may name its owner.
  HWND WndParent = nullptr;
  std::u16string Caption;
};

class TWinControl : public TControl {
public:
  explicit TWinControl(TWinControl* parent);
  // Destroys the window (and with it the windows of the children); children
  // still alive are left without a parent.
  ~TWinControl() override;

  // The window, made (with the parent's) if it does not exist yet.
  HWND Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  // The window, and those of children added since it was made.
  void HandleNeeded();
  // Destroys the window; the object stays and makes a new one when needed.
  void DestroyHandle();

  // The object of a window of the framework, none for other windows.
  static TWinControl* FromHandle(HWND window);
  // The object of the window or of the nearest parent window that has one
  // (the edit inside a combo box finds the combo box).
  static TWinControl* FindControl(HWND window);

  // The message handler the window procedure calls. Components may replace
  // it to see every message of the window first, keeping the previous one and
  // calling it (a form's frame modifier does so); the default calls WndProc.
  TWndMethod WindowProc;
  // Sends a message straight to WindowProc.
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

  // The controls on this one, bottom of the z-order first.
  const std::vector<TControl*>& Controls() const { return FControls; }
  // The topmost visible graphic child at p (client coordinates); disabled
  // ones only when `allowDisabled`.
  TControl* ControlAtPos(TPoint p, bool allowDisabled = false) const;
  // Places the aligned children anew (after a size change or a change of
  // their alignment), within AlignRect.
  void Realign();
  // The part of the client area the aligned children share: all of it,
  // unless the control keeps a border of its own inside it (a panel).
  virtual TRect AlignRect() const { return ClientRect(); }

  // The window's background is what the parent paints beneath it: for
  // controls drawn with a clear background over a picture.
  bool ParentBackground() const { return FParentBackground; }
  void SetParentBackground(bool value);

  int TabOrder() const;
  void SetTabOrder(int order);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool value) { FTabStop = value; }
  // Visible and enabled up to the form, and the form is shown.
  bool CanFocus() const;
  bool Focused() const;
  // Raises EInvalidOperation "Cannot focus a disabled or invisible window"
  // when it cannot take the focus.
  virtual void SetFocus();
  // The windowed controls within, in tab order, depth first.
  std::vector<TWinControl*> TabOrderList() const;

  // The text of the window (a form's caption, an edit's text).
  virtual std::u16string Text() const;
  virtual void SetText(const std::u16string& text);

  void Invalidate() override;
  // Marks a part of the client area (logical pixels) for painting.
  void InvalidateArea(const TRect& area);
  // Paints any invalid part of the window now.
  void Update();
  // Renders the control with its graphic children into `dc` at (x, y), as
  // it would appear on the screen (windowed children are not included).
  void PaintTo(HDC dc, int x, int y);

  bool IsWindowed() const override { return true; }
  TPoint ClientToScreen(TPoint p) override;
  TPoint ScreenToClient(TPoint p) override;

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

protected:
  virtual void CreateParams(TCreateParams& params) {}
  virtual void HandleCreated() {}
  // The window is going; its children's windows go with it.
  virtual void HandleDestroying() {}

  virtual void WndProc(TMessage& message);
  // The system's handling of the message (the class's own window procedure).
  void DefaultHandler(TMessage& message);
  virtual bool Reflected(TMessage& message) { return false; }

  // Painting of framework windows (see above). `area` is the part to paint,
  // in client coordinates; the device context's origin is the client's
  // top-left corner.
  virtual void PaintBackground(HDC dc, const TRect& area);
  virtual void Paint(HDC dc) {}

  // Keys while the control has the focus; the base versions fire the
  // events. Setting the key to 0 swallows it.
  virtual void KeyDown(WORD& key, TShiftState shift);
  virtual void KeyUp(WORD& key, TShiftState shift);
  virtual void KeyPress(char16_t& key);
  // The focus arrived or left; fire OnEnter and OnExit.
  virtual void DoEnter();
  virtual void DoExit();
  // What WM_SETFOCUS and WM_KILLFOCUS do: the form learns where the focus
  // is, then DoEnter or DoExit. For controls told by other means.
  void FocusArrived();
  void FocusLeft() { DoExit(); }

  // The window's rectangle for bounds `b`, in the parent's client area
  // (logical pixels): a combo box adds the height of its drop-down list.
  virtual TRect WindowRectFor(const TRect& b) const { return b; }

  void VisibleChanged() override;
  void EnabledChanged() override;
  void FontChanged() override;
  void ColorChanged() override;
  void BoundsChanged(const TRect& old) override;
  void ParentChanged() override;

private:
  friend class TControl;
  friend class TForm;

  static LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT msg, WPARAM wParam,
                                          LPARAM lParam) noexcept;

  void CreateHandle();
  void CreateChildHandles();
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void PaintContent(HDC dc, const TRect& area);
  void PaintGraphicChildren(HDC dc, const TRect& area);
  void PaintUnder(TWinControl& child, HDC dc, const TRect& childArea);
  void WMPaint(TMessage& m);
  void WMSetCursor(TMessage& m);
  void WMWindowPosChanged(TMessage& m);
  void MouseMessage(TMessage& m);
  void MouseLeft();
  bool ReflectToChild(TMessage& m);
  void ClientSizeChanged(TSize before);
  TControl* MouseTarget(TPoint p) const;

  HWND FHandle = nullptr;
  WNDPROC FDefWndProc = nullptr;
  bool FOwnPainting = true;
  bool FParentBackground = false;
  bool FTabStop = false;
  bool FApplyingBounds = false;
  bool FAligning = false;
  bool FMouseInside = false;
  std::vector<TControl*> FControls;
  std::vector<TWinControl*> FTabList;
  TControl* FMouseControl = nullptr;   // the graphic child under the pointer
  TControl* FCaptureControl = nullptr; // the graphic child a button went down on
  TSize FClientSize;                   // last known, for the anchors
  TBitmap FBackBuffer;
  std::u16string FText;
};

KA_DECLARE_EXCEPTION(EInvalidOperation, Exception);
