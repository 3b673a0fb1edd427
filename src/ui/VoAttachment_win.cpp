#include "ui/VoAttachment_win.h"

TControl* TAttachedPlacement::AttachedTo() const {
  return dynamic_cast<TControl*>(FAttachment.AttachedTo());
}

void TAttachedPlacement::SetAttachedTo(TControl* control) {
  if (FAttachment.SetAttachedTo(control))
    MoveToAttachment();
}

void TAttachedPlacement::SetAttachedPosition(TLayoutPosition position) {
  if (FAttachment.SetPosition(position))
    MoveToAttachment();
}

void TAttachedPlacement::SetAttachedOffsetX(int offset) {
  if (FAttachment.SetOffsetX(offset))
    MoveToAttachment();
}

void TAttachedPlacement::SetAttachedOffsetY(int offset) {
  if (FAttachment.SetOffsetY(offset))
    MoveToAttachment();
}

void TAttachedPlacement::MoveToAttachment() {
  const auto origin = FAttachment.Origin({FSelf.Width(), FSelf.Height()});
  if (!origin)
    return;
  FSelf.SetBounds(origin->X, origin->Y, FSelf.Width(), FSelf.Height());
  if (FAttachment.FollowsEnabledOnReposition())
    FSelf.SetEnabled(FAttachment.AttachedTo()->Enabled());
}

void TAttachedPlacement::Reposition(ILayoutControl* moved) {
  if (!FAttachment.IsAttachedTo(moved))
    return;
  BeforeAttachedMove();
  MoveToAttachment();
}

void TAttachedPlacement::FollowEnabled(ILayoutControl* changed) {
  if (FAttachment.IsAttachedTo(changed))
    FSelf.SetEnabled(changed->Enabled());
}
