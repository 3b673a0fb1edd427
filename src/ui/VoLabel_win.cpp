#include "ui/VoLabel_win.h"

TVoCustomLabel::TVoCustomLabel(TWinControl* parent)
    : TCustomLabel(parent), TAttachedPlacement(*this, TAttachedKind::Label) {}

void TVoCustomLabel::TextChanged() {
  TCustomLabel::TextChanged();
  MoveToAttachment();
}
