#pragma once

#include "base/KaListenerList.h"
#include <cstdint>

#include <memory>

// The colour scheme of the owner-drawn controls and the manager that hands it
// out and tells the controls when it changes.

// 0x00BBGGRR: red in the low byte.
using TColor = uint32_t;

class ITheme {
public:
  virtual ~ITheme() = default;
  virtual TColor WindowColor() const = 0;       // edits, boxes, progress bar; caption text
  virtual TColor FocusColor() const = 0;        // a focused edit, combo box, check or radio box
  virtual TColor DisabledColor() const = 0;     // a disabled edit or combo box
  virtual TColor ProgressColor() const = 0;     // the filled part of a progress bar
  virtual TColor Color5() const = 0;            // unused
  virtual TColor CaptionColor() const = 0;      // caption bar and language box of the frame
  virtual TColor CaptionArrowColor() const = 0; // separator triangles of the caption
  virtual TColor FrameColor() const = 0;        // outer and inner line of the window frame
  virtual TColor BorderDarkColor() const = 0;   // dark side of control frames; panel border
  virtual TColor BorderLightColor() const = 0;  // light side of control frames
  virtual TColor ErrorDarkColor() const = 0;    // dark side of a required field's frame
  virtual TColor ErrorLightColor() const = 0;   // light side of a required field's frame
  virtual TColor Color13() const = 0;           // 13 to 25: unused
  virtual TColor Color14() const = 0;
  virtual TColor Color15() const = 0;
  virtual TColor Color16() const = 0;
  virtual TColor Color17() const = 0;
  virtual TColor Color18() const = 0;
  virtual TColor Color19() const = 0;
  virtual TColor Color20() const = 0;
  virtual TColor Color21() const = 0;
  virtual TColor Color22() const = 0;
  virtual TColor Color23() const = 0;
  virtual TColor Color24() const = 0;
  virtual TColor Color25() const = 0;
};

using IThemePtr = std::shared_ptr<ITheme>;

// The one built-in scheme, in blue.
class TBlueTheme : public ITheme {
public:
  TColor WindowColor() const override { return 0xFFFFFF; }
  TColor FocusColor() const override { return 0xC6F7FF; }
  TColor DisabledColor() const override { return 0xF0F0F0; }
  TColor ProgressColor() const override { return 0xC6F7FF; }
  TColor Color5() const override { return 0xCC6600; }
  TColor CaptionColor() const override { return 0xDE9A61; }
  TColor CaptionArrowColor() const override { return 0xF2D7C7; }
  TColor FrameColor() const override { return 0xF2D7C7; }
  TColor BorderDarkColor() const override { return 0xDE9A61; }
  TColor BorderLightColor() const override { return 0xF2D7C7; }
  TColor ErrorDarkColor() const override { return 0x0000FF; }
  TColor ErrorLightColor() const override { return 0xB7B7FF; }
  TColor Color13() const override { return 0xDE9A61; }
  TColor Color14() const override { return 0xD8DFDE; }
  TColor Color15() const override { return 0xF3F8FA; }
  TColor Color16() const override { return 0xDE9A61; }
  TColor Color17() const override { return 0xFFFFFF; }
  TColor Color18() const override { return 0xC6F7FF; }
  TColor Color19() const override { return 0x000000; }
  TColor Color20() const override { return 0xF2D7C7; }
  TColor Color21() const override { return 0xF2D7C7; }
  TColor Color22() const override { return 0xF2D7C7; }
  TColor Color23() const override { return 0xF2D7C7; }
  TColor Color24() const override { return 0xCC6600; }
  TColor Color25() const override { return 0xF2D7C7; }
};

// Implemented by every control that draws in the theme's colours.
class IThemeable {
public:
  virtual ~IThemeable() = default;
  virtual void ThemeChanged() = 0;
};

class IThemeManager {
public:
  virtual ~IThemeManager() = default;
  // The current theme; a TBlueTheme is made on the first call.
  virtual IThemePtr GetTheme() = 0;
  // Stores the theme (none stores a new TBlueTheme), then tells every
  // listener in registration order. A listener that raises ends the round and
  // the exception reaches the caller.
  virtual void SetTheme(IThemePtr theme) = 0;
  // Listeners are not owned: each removes itself before it goes (see
  // ui/KaScopedRegistration.h).
  virtual int32_t AddListener(IThemeable* listener) = 0;
  // The index the listener had, -1 if it was not registered.
  virtual int32_t RemoveListener(IThemeable* listener) = 0;
};

using IThemeManagerPtr = std::shared_ptr<IThemeManager>;

class TThemeManager : public IThemeManager {
public:
  IThemePtr GetTheme() override;
  void SetTheme(IThemePtr theme) override;
  int32_t AddListener(IThemeable* listener) override;
  int32_t RemoveListener(IThemeable* listener) override;

private:
  TListenerList<IThemeable> FListeners;
  IThemePtr FCurrent;
};

// The single theme manager, created on first use.
IThemeManagerPtr ThemeManager();

// GetTheme of the single theme manager.
IThemePtr CurrentTheme();
