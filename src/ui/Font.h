#pragma once

#include "ui/KaTheme.h"

#include <cstdint>
#include <string>

// A font as the controls describe it. Heights are logical pixels (see
// ui/KaDpi.h); a negative height is the height of the characters
// themselves, so -11 is 8 points on a 96 dpi screen.

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

inline constexpr uint8_t AnsiCharset = 0;

struct TFont {
  std::u16string Name = u"Tahoma";
  int Height = -11;
  TFontStyles Style = 0;
  TColor Color = 0x000000;
  uint8_t Charset = AnsiCharset;

  bool operator==(const TFont&) const = default;
};
