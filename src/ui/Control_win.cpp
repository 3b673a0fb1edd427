#include "ui/Control_win.h"

#include "ui/Form_win.h"
#include "ui/WinControl_win.h"

TShiftState KeyboardShiftState() {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0)
    s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0)
    s |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0)
    s |= ssAlt;
  return s;
}

TControl::TControl(TWinControl* parent) {
  if (parent)
    parent->InsertControl(this);
}

TControl::~TControl() {
  try {
    LayoutManager()->ControlDestroyed(this);
  } catch (...) {
    // A client that cannot let go must not take the destruction down with it.
  }
  if (FParent)
    FParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == FParent)
    return;
  for (TControl* p = parent; p; p = p->FParent) {
    if (p == this)
      throw EInvalidOperation("A control cannot have itself as its parent");
  }
  if (FParent)
    FParent->RemoveControl(this);
  if (parent)
    parent->InsertControl(this);
  ParentChanged();
}

TForm* TControl::ParentForm() {
  TControl* top = this;
  while (top->FParent)
    top = top->FParent;
  return dynamic_cast<TForm*>(top);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight)
    return;
  const TRect old = BoundsRect();
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  BoundsChanged(old);
  if (FParent && FAlign != alNone)
    FParent->Realign();
}

void TControl::BoundsChanged(const TRect& old) {
  if (FParent && FVisible) {
    FParent->InvalidateArea(old);
    FParent->InvalidateArea(BoundsRect());
  }
}

void TControl::SetVisible(bool visible) {
  if (visible == FVisible)
    return;
  FVisible = visible;
  VisibleChanged();
  if (FParent && FAlign != alNone)
    FParent->Realign();
}

bool TControl::Showing() const {
  for (const TControl* c = this; c; c = c->FParent) {
    if (!c->FVisible)
      return false;
  }
  return true;
}

void TControl::VisibleChanged() {
  if (FParent)
    FParent->InvalidateArea(BoundsRect());
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == FEnabled)
    return;
  FEnabled = enabled;
  EnabledChanged();
}

void TControl::EnabledChanged() { Invalidate(); }

void TControl::SetAlign(TAlign align) {
  if (align == FAlign)
    return;
  FAlign = align;
  if (FParent)
    FParent->Realign();
}

const TFont& TControl::Font() const { return FParentFont && FParent ? FParent->Font() : FFont; }

void TControl::SetFont(const TFont& font) {
  if (!FParentFont && font == FFont)
    return;
  FFont = font;
  FParentFont = false;
  FontChanged();
}

void TControl::SetParentFont(bool value) {
  if (value == FParentFont)
    return;
  if (!value)
    FFont = Font();
  FParentFont = value;
  FontChanged();
}

void TControl::FontChanged() { Invalidate(); }

void TControl::SetColor(TColor color) {
  if (color == FColor)
    return;
  FColor = color;
  ColorChanged();
}

void TControl::ColorChanged() { Invalidate(); }

void TControl::Invalidate() {
  if (FParent && FVisible)
    FParent->InvalidateArea(BoundsRect());
}

void TControl::Repaint() {
  Invalidate();
  for (TControl* c = this; c; c = c->FParent) {
    if (c->IsWindowed()) {
      static_cast<TWinControl*>(c)->Update();
      return;
    }
  }
}

TPoint TControl::ClientToScreen(TPoint p) {
  return FParent ? FParent->ClientToScreen({p.X + FLeft, p.Y + FTop}) : p;
}

TPoint TControl::ScreenToClient(TPoint p) {
  if (!FParent)
    return p;
  TPoint q = FParent->ScreenToClient(p);
  return {q.X - FLeft, q.Y - FTop};
}

void TControl::Click() { Fire(OnClick, *this); }

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  Fire(OnMouseDown, *this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  Fire(OnMouseUp, *this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) { Fire(OnMouseMove, *this, shift, x, y); }

void TControl::MouseEnter() { Fire(OnMouseEnter, *this); }
void TControl::MouseLeave() { Fire(OnMouseLeave, *this); }

void TControl::HandleMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && ClicksOnMouseUp)
    FClicked = true;
  MouseDown(button, shift, x, y);
}

void TControl::HandleMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && FClicked) {
    FClicked = false;
    if (ClientRect().Contains({x, y}))
      Click();
  }
  MouseUp(button, shift, x, y);
}
