#pragma once

// The base of every control of the window framework (Windows only): bounds,
// visibility, enabled state, parent, alignment and anchors, font, colour,
// cursor, mouse handling and the events. Windowed controls (TWinControl)
// own a window; graphic controls (TGraphicControl) have none and are
// painted by their parent.
//
// Bounds are logical pixels relative to the parent's client area (see
// ui/KaDpi.h). A control is made with its parent and lives on it until it
// is destroyed or given another parent; its C++ owner (usually the form,
// holding it as a member) destroys it. Never destroy a control from inside
// one of its own handlers: hide it, close its form, or let its owner go
// later.

#include "ui/Component.h"
#include "ui/Font.h"
#include "ui/KaAlign.h"
#include "ui/KaGeometry.h"
#include "ui/KaLayoutManager.h"
#include "ui/KaScreenCursor.h"
#include "ui/KaTheme.h"

#include <functional>

#include <windows.h>

class TWinControl;
class TForm;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TShiftKind : unsigned {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
};
using TShiftState = unsigned;

// The state of Shift, Ctrl and Alt right now.
TShiftState KeyboardShiftState();

using TMouseEvent =
    std::function<void(TComponent& sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TComponent& sender, TShiftState shift, int x, int y)>;

class TControl : public TComponent, public ILayoutControl {
public:
  // Inserted on top of the parent's controls (none: a form).
  explicit TControl(TWinControl* parent);
  // Tells the layout manager (clients attached to it let go), leaves the
  // parent.
  ~TControl() override;

  TWinControl* Parent() const { return FParent; }
  void SetParent(TWinControl* parent);
  // The form the control lies on; a form is its own.
  TForm* ParentForm();

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  TRect BoundsRect() const override { return Bounds(FLeft, FTop, FWidth, FHeight); }
  // The one way bounds change: a descendant overrides it to adjust the
  // request (a sprite button keeps its frame size) or to react (an owner-
  // drawn control resizes its buffer, an edit tells the layout manager).
  virtual void SetBounds(int left, int top, int width, int height);
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
  void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
  void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
  void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
  // (0, 0, Width, Height) unless a control keeps a border of its own.
  virtual TRect ClientRect() const { return {0, 0, FWidth, FHeight}; }

  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and so are all parents up to the form, and the form is shown.
  bool Showing() const;

  bool Enabled() const override { return FEnabled; }
  void SetEnabled(bool enabled);

  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign align);
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors anchors) { FAnchors = anchors; }

  // The parent's font while ParentFont is set (the default); assigning a
  // font clears ParentFont.
  const TFont& Font() const;
  void SetFont(const TFont& font);
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool value);

  TColor Color() const { return FColor; }
  void SetColor(TColor color);

  // The pointer's shape over the control; crDefault leaves it to the window.
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor cursor) { FCursor = cursor; }

  // Marks the control's area for painting with the next paint message.
  virtual void Invalidate();
  // Invalidates and paints at once.
  void Repaint();

  virtual TPoint ClientToScreen(TPoint p);
  virtual TPoint ScreenToClient(TPoint p);

  // Fires OnClick. Left-button clicks (down and up over the control) call it
  // unless the control clears ClicksOnMouseUp and decides itself.
  virtual void Click();

  TNotifyEvent OnClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

  // What the form hands to every control of it, in z-order, depth first (see
  // TForm). Return true to end the round: the key is then taken.
  //   DialogKey: Enter, Escape (and Tab and arrows the form does not use
  //   itself) pressed where the focused control does not take them.
  //   DialogChar: Alt with a character, or a character where the focused
  //   control does not take typing: accelerators.
  //   FocusChanged: the focus moved to `focused`.
  virtual bool DialogKey(WORD key, TShiftState shift) { return false; }
  // True for controls that own a window (TWinControl).
  virtual bool IsWindowed() const { return false; }
  virtual bool DialogChar(char16_t ch) { return false; }
  virtual void FocusChanged(TWinControl* focused) {}

protected:
  // Mouse notifications in client coordinates, whether the control has a
  // window or is a graphic one under its parent's. The base versions fire
  // the events. A button down keeps the pointer captured until it goes up,
  // so the up arrives also outside the control.
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseEnter();
  virtual void MouseLeave();

  // After the state changed (the fields hold the new value).
  virtual void VisibleChanged();
  virtual void EnabledChanged();
  virtual void FontChanged();
  virtual void ColorChanged();
  // After the bounds changed from `old`: a graphic control asks its parent
  // to paint both places, a windowed one moves its window.
  virtual void BoundsChanged(const TRect& old);
  // After SetParent gave the control another parent (or none).
  virtual void ParentChanged() {}

  bool ClicksOnMouseUp = true;

private:
  friend class TWinControl;

  // The mouse as the window framework delivers it, with the click logic.
  void HandleMouseDown(TMouseButton button, TShiftState shift, int x, int y);
  void HandleMouseUp(TMouseButton button, TShiftState shift, int x, int y);

  TWinControl* FParent = nullptr;
  int FLeft = 0;
  int FTop = 0;
  int FWidth = 0;
  int FHeight = 0;
  bool FVisible = true;
  bool FEnabled = true;
  bool FParentFont = true;
  bool FClicked = false;
  TAlign FAlign = alNone;
  TAnchors FAnchors = DefaultAnchors;
  TFont FFont;
  TColor FColor = 0xF0F0F0;
  TCursor FCursor = crDefault;
};
