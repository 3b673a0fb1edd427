#include "ui/KaAlign.h"

TRect AlignInto(TAlign align, TRect& remaining, TSize size) {
  TRect r = remaining;
  switch (align) {
  case alNone: return Bounds(r.Left, r.Top, size.Width, size.Height);
  case alTop:
    r.Bottom = r.Top + size.Height;
    remaining.Top = r.Bottom;
    break;
  case alBottom:
    r.Top = r.Bottom - size.Height;
    remaining.Bottom = r.Top;
    break;
  case alLeft:
    r.Right = r.Left + size.Width;
    remaining.Left = r.Right;
    break;
  case alRight:
    r.Left = r.Right - size.Width;
    remaining.Right = r.Left;
    break;
  case alClient: break;
  }
  return r;
}

namespace {

// One direction: the start and end edges of the child, the anchors of the
// two sides, and the change of the parent's extent.
void Follow(int& start, int& end, bool anchoredStart, bool anchoredEnd, int grow) {
  if (anchoredStart && anchoredEnd) {
    end += grow;
  } else if (anchoredEnd) {
    start += grow;
    end += grow;
  } else if (!anchoredStart) {
    start += grow / 2;
    end += grow / 2;
  }
}

} // namespace

TRect AnchoredBounds(const TRect& bounds, TAnchors anchors, TSize before, TSize after) {
  TRect r = bounds;
  Follow(r.Left, r.Right, anchors & akLeft, anchors & akRight, after.Width - before.Width);
  Follow(r.Top, r.Bottom, anchors & akTop, anchors & akBottom, after.Height - before.Height);
  return r;
}
