#include "ui/KaAttachment.h"

#include <utility>

TPoint AttachedOrigin(TAttachedKind kind, TLayoutPosition position, const TRect& b, TSize own,
                      int offsetX, int offsetY) {
  const int gap = kind == TAttachedKind::Label ? 4 : 0;
  TPoint p;
  switch (position) {
  case lpLeft: p = {b.Left - own.Width - gap, b.Top + gap}; break;
  case lpTop: p = {b.Left, b.Top - own.Height - gap}; break;
  case lpRight: p = {b.Right + gap, b.Top + gap}; break;
  }
  return {p.X + offsetX, p.Y + offsetY};
}

namespace {

template <class T> bool Change(T& field, T value) {
  if (field == value)
    return false;
  field = std::move(value);
  return true;
}

} // namespace

bool TAttachment::SetAttachedTo(ILayoutControl* control) { return Change(FAttachedTo, control); }
bool TAttachment::SetPosition(TLayoutPosition position) { return Change(FPosition, position); }
bool TAttachment::SetOffsetX(int offset) { return Change(FOffsetX, offset); }
bool TAttachment::SetOffsetY(int offset) { return Change(FOffsetY, offset); }

std::optional<TPoint> TAttachment::Origin(TSize own) const {
  if (!FAttachedTo)
    return std::nullopt;
  return AttachedOrigin(FKind, FPosition, FAttachedTo->BoundsRect(), own, FOffsetX, FOffsetY);
}

void TAttachment::ControlDestroyed(const ILayoutControl* control) {
  if (IsAttachedTo(control))
    FAttachedTo = nullptr;
}
