#include "ui/KaPlacement.h"

#include <algorithm>

TRect CenteredInWorkArea(const TRect& area, TSize size) {
  int width = std::min(size.Width, area.Width());
  int height = std::min(size.Height, area.Height());
  return Bounds(area.Left + (area.Width() - width) / 2, area.Top + (area.Height() - height) / 2,
                width, height);
}

TPoint CenteredOver(const TRect& over, TSize size) {
  return {over.Left + (over.Width() - size.Width) / 2,
          over.Top + (over.Height() - size.Height) / 2};
}
