#pragma once

// TVoEdit (Windows only): the flat one-line edit of the wizard and the
// dialogs, over the system's EDIT control.
//
// The window is 21 pixels high by default and has no system border. Its
// non-client area is four pixels on every side, painted by the control: the
// theme's two-tone frame (red with Required set) and three rings inside it
// in the edit's colour, so the text sits in a plain field. The colour
// follows the state: FocusColor while the edit has the focus, DisabledColor
// while it is disabled, WindowColor otherwise.
//
// Filter (8-bit text, empty by default) lists the characters the field
// takes: other typed characters are dropped, and when the field is left its
// text is reduced to the listed ones (what was pasted included). Enter is
// never typed into the field; it goes on to the default button.
//
// Moves and enabled changes are reported to the layout manager, so labels
// and buttons attached to the edit follow it; a change of theme repaints.

#include "ui/CustomEdit_win.h"
#include "ui/KaScopedRegistration.h"
#include "ui/KaTheme.h"
#include "ui/VoLayoutReport_win.h"

#include <string>

class TVoCustomEdit : public TVoLayoutReported<TCustomEdit>, public IThemeable {
public:
  explicit TVoCustomEdit(TWinControl* parent);

  // Takes the colour of the state in the new theme and repaints.
  void ThemeChanged() override;

protected:
  bool Required() const { return FRequired; }
  void SetRequired(bool value);
  const std::string& Filter() const { return FFilter; }
  void SetFilter(std::string filter) { FFilter = std::move(filter); }

  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
  void KeyPress(char16_t& key) override;
  void DoEnter() override;
  // Applies the filter, then takes the idle colour.
  void DoExit() override;
  void EnabledChanged() override;

  // The frame and the rings, on the window's device context; at once, and
  // after the system's own non-client painting.
  void PaintFrame();

private:
  TColor StateColor();
  void ShowState();

  bool FRequired = false;
  std::string FFilter;
  TScopedRegistration<IThemeManager, IThemeable> FTheme{this, ThemeManager()};
};

class TVoEdit : public TVoCustomEdit {
public:
  using TVoCustomEdit::Filter;
  using TVoCustomEdit::Required;
  using TVoCustomEdit::SetFilter;
  using TVoCustomEdit::SetRequired;
  using TVoCustomEdit::TVoCustomEdit;
};
