#include "ui/KaGeometry.h"

#include <algorithm>

TRect Bounds(int left, int top, int width, int height) {
  return {left, top, left + width, top + height};
}

TRect OffsetRect(const TRect& r, int dx, int dy) {
  return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

bool IntersectRect(TRect& common, const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
          std::min(a.Bottom, b.Bottom)};
  if (r.IsEmpty() || a.IsEmpty() || b.IsEmpty()) {
    common = {};
    return false;
  }
  common = r;
  return true;
}
