#pragma once

#include "ui/KaGeometry.h"
#include "ui/KaLayoutManager.h"

#include <optional>

// Where a label or a button goes when it is attached beside another control:
// the state behind their AttachedTo, AttachedPosition, AttachedOffsetX and
// AttachedOffsetY properties, and the arithmetic. The control owns one,
// registers itself as a layout client and forwards to it:
//
//   void Reposition(ILayoutControl* moved) override {
//     if (FAttachment.IsAttachedTo(moved)) MoveToAttachment();
//   }
//   void MoveToAttachment() {               // also after each setter that returns true
//     if (auto p = FAttachment.Origin({Width(), Height()})) SetBounds(p->X, p->Y, Width(),
//     Height());
//   }
//   void ControlDestroyed(ILayoutControl* c) override { FAttachment.ControlDestroyed(c); }

enum TLayoutPosition { lpLeft, lpTop, lpRight };

// Labels keep 4 pixels of distance and sit 4 pixels lower beside a control;
// buttons touch the control.
enum class TAttachedKind { Label, Button };

// The top-left corner of an attached control of size `own` beside a control
// with bounds `b`, plus the offsets.
TPoint AttachedOrigin(TAttachedKind kind, TLayoutPosition position, const TRect& b, TSize own,
                      int offsetX, int offsetY);

class TAttachment {
public:
  explicit TAttachment(TAttachedKind kind) : FKind(kind) {}

  ILayoutControl* AttachedTo() const { return FAttachedTo; }
  TLayoutPosition Position() const { return FPosition; }
  int OffsetX() const { return FOffsetX; }
  int OffsetY() const { return FOffsetY; }

  // Each returns true when the value changed: the owner then repositions at
  // once. Clearing AttachedTo leaves the owner where it is.
  bool SetAttachedTo(ILayoutControl* control);
  bool SetPosition(TLayoutPosition position);
  bool SetOffsetX(int offset);
  bool SetOffsetY(int offset);

  bool IsAttachedTo(const ILayoutControl* control) const {
    return control && control == FAttachedTo;
  }

  // The owner's new top-left corner for its size; none while attached to
  // nothing.
  std::optional<TPoint> Origin(TSize own) const;

  // A button takes over the enabled state of its control when it
  // repositions; a label only on FollowEnabled.
  bool FollowsEnabledOnReposition() const { return FKind == TAttachedKind::Button; }

  // Clears AttachedTo when it is the control that goes.
  void ControlDestroyed(const ILayoutControl* control);

private:
  TAttachedKind FKind;
  ILayoutControl* FAttachedTo = nullptr;
  TLayoutPosition FPosition = lpLeft;
  int FOffsetX = 0;
  int FOffsetY = 0;
};
