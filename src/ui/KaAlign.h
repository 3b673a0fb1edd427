#pragma once

#include "ui/KaGeometry.h"

// How a control follows its parent's client area: aligned to an edge or to
// the whole remaining area, or anchored to edges that it keeps its distance
// to when the parent changes size.

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// Parents place their aligned children kind by kind in this order, each kind
// in z-order.
inline constexpr TAlign AlignOrder[] = {alTop, alBottom, alLeft, alRight, alClient};

enum TAnchorKind : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = unsigned;
inline constexpr TAnchors DefaultAnchors = akLeft | akTop;

// The bounds of a child aligned `align` (not alNone) in `remaining`, the part
// of the parent's client area that earlier aligned children left; `size` is
// the child's own size, kept across the aligned direction. `remaining` loses
// what the child takes (all of it stays for alClient, which overlaps).
TRect AlignInto(TAlign align, TRect& remaining, TSize size);

// A child's bounds after its parent's client area went from `before` to
// `after`: an edge anchored on one side only keeps its distance to that side;
// anchored on both sides the child stretches; anchored on neither it keeps
// its place relative to the middle.
TRect AnchoredBounds(const TRect& bounds, TAnchors anchors, TSize before, TSize after);
