#pragma once

#include "ui/VoGeometry.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

// TVoPanel, portable part: the panel's border lines and the client area its
// children are aligned in, per BorderStyle. The container window is the
// Windows twin (VoPanel_win.h / VoPanel_win.cpp).
//
// BorderStyle 1: a dark rectangle with a light line along the right and
// bottom inside it; 2: the theme's two-tone frame (DrawFrame); 3: lines in
// BorderColor on the sides named in Borders; any other value: no border.

enum TVoPanelBorder { pbTop, pbBottom, pbLeft, pbRight };

// The published Borders set.
class TVoPanelBorders {
public:
  constexpr TVoPanelBorders() = default;
  constexpr TVoPanelBorders(std::initializer_list<TVoPanelBorder> sides) {
    for (TVoPanelBorder side : sides)
      FBits |= Bit(side);
  }
  static constexpr TVoPanelBorders All() { return {pbTop, pbBottom, pbLeft, pbRight}; }

  constexpr bool Contains(TVoPanelBorder side) const { return (FBits & Bit(side)) != 0; }
  friend constexpr bool operator==(TVoPanelBorders, TVoPanelBorders) = default;

private:
  static constexpr uint8_t Bit(TVoPanelBorder side) { return uint8_t(1u << side); }
  uint8_t FBits = 0;
};

// The area left for the children of a panel `size` large.
TRect VoPanelClientRect(TSize size, int borderStyle, TVoPanelBorders borders);

// The lines of BorderStyle 3, each the full length of its side, in the
// order top, bottom, left, right (absent sides left out).
std::vector<TVoLine> VoPanelBorderLines(TSize size, TVoPanelBorders borders);
