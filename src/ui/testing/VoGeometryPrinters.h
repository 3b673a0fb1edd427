#pragma once

#include "ui/VoGeometry.h"

#include <ostream>

// Readable failure messages for the geometry types (GoogleTest finds these
// by argument-dependent lookup).

inline void PrintTo(const TPoint& p, std::ostream* os) { *os << "(" << p.X << ", " << p.Y << ")"; }

inline void PrintTo(const TSize& s, std::ostream* os) { *os << s.Width << " x " << s.Height; }

inline void PrintTo(const TRect& r, std::ostream* os) {
  *os << "(" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << ")";
}

inline void PrintTo(const TVoLine& l, std::ostream* os) {
  PrintTo(l.From, os);
  *os << "-";
  PrintTo(l.To, os);
}
