#pragma once

// The panel of the wizard's pages and dialogs (Windows only): a container in
// the theme's colours with one of three borders. Its children are aligned
// inside the border; every change of its bounds is reported to the layout
// manager, so labels and buttons attached to it follow.
//
// BorderStyle 1: a BorderDarkColor rectangle with a BorderLightColor line
// along the right and bottom inside it; 2: the two-tone DrawFrame; 3: lines
// in BorderColor on the sides in Borders; any other value: no border. The
// geometry is ui/VoPanel.h.

#include "ui/CustomControl_win.h"
#include "ui/KaScopedRegistration.h"
#include "ui/VoLayoutReport_win.h"
#include "ui/VoPanel.h"

#include <string>

class TVoCustomPanel : public TVoLayoutReported<TCustomControl, false>, public IThemeable {
public:
  // 185 x 41, Color WindowColor, BorderStyle 1, all four Borders, BorderColor
  // BorderDarkColor.
  explicit TVoCustomPanel(TWinControl* parent);

  // Kept for the form's description; the panel does not draw it.
  std::u16string Caption() const { return Text(); }
  void SetCaption(const std::u16string& caption) { SetText(caption); }

  TVoPanelBorders Borders() const { return FBorders; }
  // Re-aligns the children and repaints when it changes.
  void SetBorders(TVoPanelBorders borders);
  int BorderStyle() const { return FBorderStyle; }
  // Re-aligns the children and repaints when it changes.
  void SetBorderStyle(int style);
  TColor BorderColor() const { return FBorderColor; }
  // Repaints when it changes.
  void SetBorderColor(TColor color);

  // Inside the border.
  TRect AlignRect() const override;

  void ThemeChanged() override { Invalidate(); }

protected:
  void Paint(HDC dc) override;

private:
  TVoPanelBorders FBorders = TVoPanelBorders::All();
  int FBorderStyle = 1;
  TColor FBorderColor;
  TScopedRegistration<IThemeManager, IThemeable> FTheme{this, ThemeManager()};
};

// The published face.
class TVoPanel : public TVoCustomPanel {
public:
  using TVoCustomPanel::TVoCustomPanel;
};
