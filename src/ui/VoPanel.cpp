#include "ui/VoPanel.h"

TRect VoPanelClientRect(TSize size, int borderStyle, TVoPanelBorders borders) {
  TRect r{0, 0, size.Width, size.Height};
  switch (borderStyle) {
  case 1:
    // The dark outline takes the first and second-to-last column and row,
    // the light line the last ones.
    return {r.Left + 1, r.Top + 1, r.Right - 2, r.Bottom - 2};
  case 2: return {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  case 3:
    if (borders.Contains(pbTop))
      ++r.Top;
    if (borders.Contains(pbBottom))
      --r.Bottom;
    if (borders.Contains(pbLeft))
      ++r.Left;
    if (borders.Contains(pbRight))
      --r.Right;
    return r;
  default: return r;
  }
}

std::vector<TVoLine> VoPanelBorderLines(TSize size, TVoPanelBorders borders) {
  const int w = size.Width;
  const int h = size.Height;
  std::vector<TVoLine> lines;
  if (borders.Contains(pbTop))
    lines.push_back({{0, 0}, {w, 0}});
  if (borders.Contains(pbBottom))
    lines.push_back({{0, h - 1}, {w, h - 1}});
  if (borders.Contains(pbLeft))
    lines.push_back({{0, 0}, {0, h}});
  if (borders.Contains(pbRight))
    lines.push_back({{w - 1, 0}, {w - 1, h}});
  return lines;
}
