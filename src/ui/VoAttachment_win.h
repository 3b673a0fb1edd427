#pragma once

// The attachment of a label or a button to another control (Windows only):
// their AttachedTo, AttachedPosition, AttachedOffsetX and AttachedOffsetY
// properties, and their part as a layout client, registered with the layout
// manager for as long as the control lives. The control derives from it
// after its control base:
//
//   class TVoButton : public TKaCustomControl, public TAttachedPlacement {
//     TVoButton(TWinControl* p) : TKaCustomControl(p), TAttachedPlacement(*this,
//     TAttachedKind::Button) {}
//   };
//
// The placement's arithmetic is ui/KaAttachment.h.

#include "ui/Control_win.h"
#include "ui/KaAttachment.h"
#include "ui/KaScopedRegistration.h"

class TAttachedPlacement : public ILayoutClient {
public:
  // Setting any of the four to a different value moves the control at once;
  // clearing AttachedTo leaves it where it is. AttachedTo is cleared when
  // that control goes.
  TControl* AttachedTo() const;
  void SetAttachedTo(TControl* control);
  TLayoutPosition AttachedPosition() const { return FAttachment.Position(); }
  void SetAttachedPosition(TLayoutPosition position);
  int AttachedOffsetX() const { return FAttachment.OffsetX(); }
  void SetAttachedOffsetX(int offset);
  int AttachedOffsetY() const { return FAttachment.OffsetY(); }
  void SetAttachedOffsetY(int offset);

  // The control it is attached to moved: moves beside it.
  void Reposition(ILayoutControl* moved) override;
  // Both a label and a button take over the enabled state of their control.
  void FollowEnabled(ILayoutControl* changed) override;
  void ControlDestroyed(ILayoutControl* control) override { FAttachment.ControlDestroyed(control); }

protected:
  TAttachedPlacement(TControl& self, TAttachedKind kind) : FSelf(self), FAttachment(kind) {}

  // Moves the control beside the one it is attached to (a button also takes
  // over that control's enabled state); nothing while attached to nothing.
  void MoveToAttachment();
  // Before the control follows a move of its control: a label re-measures
  // its text here, so that it lands beside the control with its new size.
  virtual void BeforeAttachedMove() {}

private:
  TControl& FSelf;
  TAttachment FAttachment;
  TScopedRegistration<ILayoutManager, ILayoutClient> FLayout{this, LayoutManager()};
};
