#pragma once

#include "ui/KaTheme.h"

#include <utility>

// The blue theme paints several roles alike (a disabled box white like an
// idle one, the caption and the dark border in one blue). This theme gives
// each colour the controls choose between a value of its own, so a test can
// tell every choice apart; the rest is the blue theme's.
class TDistinctTheme : public TBlueTheme {
public:
  TColor WindowColor() const override { return 0xFEFEFE; }
  TColor FocusColor() const override { return 0x20F0F0; }
  TColor DisabledColor() const override { return 0xD0D0D0; }
  TColor BorderDarkColor() const override { return 0x803000; }
  TColor BorderLightColor() const override { return 0xF0C0A0; }
  TColor ErrorDarkColor() const override { return 0x0000C0; }
  TColor ErrorLightColor() const override { return 0xA0A0F0; }
};

// Makes `theme` current while it lives, then the blue one again.
class TThemeScope {
public:
  explicit TThemeScope(IThemePtr theme) { ThemeManager()->SetTheme(std::move(theme)); }
  ~TThemeScope() { ThemeManager()->SetTheme(nullptr); }
  TThemeScope(const TThemeScope&) = delete;
  TThemeScope& operator=(const TThemeScope&) = delete;
};
