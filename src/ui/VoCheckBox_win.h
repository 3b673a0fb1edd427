#pragma once

// TVoCheckBox (Windows only), and TVoCheckControl, the part it shares with
// the radio button (ui/VoRadioButton_win.h).
//
// Both draw themselves (no system button): a glyph on the left (the box, or
// the radio button's knob) and the caption beside it, translated when it is
// drawn, word-wrapped, on whatever lies beneath the control. A disabled
// caption is drawn engraved in the system's button colours; the focused
// control shows a focus rectangle around its caption. The accelerator of
// the translated caption focuses and clicks the control, and so does Space
// while it has the focus.
//
// Both report moves and enabled changes to the layout manager and repaint
// when the theme or the language changes. Default size 121 x 17, tab stop on.

#include "i18n/KaTranslator.h"
#include "ui/CustomControl_win.h"
#include "ui/KaScopedRegistration.h"
#include "ui/KaTheme.h"
#include "ui/VoLayoutReport_win.h"

#include <string>

class TVoCheckControl : public TVoLayoutReported<TCustomControl>,
                        public IThemeable,
                        public ITranslatable {
public:
  explicit TVoCheckControl(TWinControl* parent);

  void ThemeChanged() override { Invalidate(); }
  void LanguageChanged() override { Invalidate(); }
  bool DialogChar(char16_t ch) override;

protected:
  // UTF-16 with translation markers and an optional "&" accelerator.
  const std::u16string& Caption() const { return FCaption; }
  void SetCaption(const std::u16string& caption);

  // After the checked state changed: repaints, then fires OnChange.
  void Changed();
  TNotifyEvent OnChange;

  // The box or the knob, in client coordinates.
  virtual void PaintGlyph(HDC dc) = 0;
  void Paint(HDC dc) override;
  void KeyPress(char16_t& key) override;
  void DoEnter() override;
  void DoExit() override;

private:
  std::u16string FCaption;
  TScopedRegistration<ITranslator, ITranslatable> FTranslation{this, Translator()};
  TScopedRegistration<IThemeManager, IThemeable> FTheme{this, ThemeManager()};
};

// A check box: a click toggles Checked, fires OnClick and takes the focus
// (with its tab stop set); each change of Checked repaints and fires
// OnChange. It is a layout client too, one that follows nothing.
class TVoCustomCheckBox : public TVoCheckControl, public ILayoutClient {
public:
  explicit TVoCustomCheckBox(TWinControl* parent);

  void Click() override;

  void Reposition(ILayoutControl*) override {}
  void FollowEnabled(ILayoutControl*) override {}
  void ControlDestroyed(ILayoutControl*) override {}

protected:
  bool Checked() const { return FChecked; }
  void SetChecked(bool value);

  void PaintGlyph(HDC dc) override;

private:
  bool FChecked = false;
  TScopedRegistration<ILayoutManager, ILayoutClient> FLayout{this, LayoutManager()};
};

class TVoCheckBox : public TVoCustomCheckBox {
public:
  using TVoCustomCheckBox::Caption;
  using TVoCustomCheckBox::Checked;
  using TVoCustomCheckBox::OnChange;
  using TVoCustomCheckBox::SetCaption;
  using TVoCustomCheckBox::SetChecked;
  using TVoCustomCheckBox::TVoCustomCheckBox;
};
