#pragma once

// Points, sizes and rectangles of the user interface, in the platform's
// convention: a rectangle holds its Left and Top edges and excludes its Right
// and Bottom ones, so its width is Right - Left.

struct TPoint {
  int X = 0;
  int Y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TSize {
  int Width = 0;
  int Height = 0;
  bool operator==(const TSize&) const = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  TPoint TopLeft() const { return {Left, Top}; }
  TSize Size() const { return {Width(), Height()}; }
  // No pixel lies inside: zero or negative width or height.
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  bool operator==(const TRect&) const = default;
};

TRect Bounds(int left, int top, int width, int height);
TRect OffsetRect(const TRect& r, int dx, int dy);

// The rectangle intersection test: true when a and b share at least one
// pixel; `common` then receives the shared part, otherwise the empty
// rectangle (0, 0, 0, 0).
bool IntersectRect(TRect& common, const TRect& a, const TRect& b);
