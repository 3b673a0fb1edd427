#pragma once

// The label of the wizard's pages and dialogs (Windows only): the wide-text
// label of the framework (transparent over the page's picture, auto-sized
// by default) showing the translation of its Caption, so "$(Next)" reads
// "Volgende" while Dutch is current and changes with the language. It can
// be attached beside another control (an edit, a combo box) and follows it
// when that control moves or changes its enabled state: with AttachedTo an
// edit at (144, 200) and lpTop, a label 13 high stands at (144, 183).
//
//   TVoLabel label{page};
//   label.SetCaption(u"$(Install path)");
//   label.SetAttachedTo(&edit);
//   label.SetAttachedPosition(lpTop);

#include "i18n/KaTranslator.h"
#include "ui/CustomLabel_win.h"
#include "ui/VoAttachment_win.h"

class TVoCustomLabel : public TCustomLabel,
                       public TAttachedPlacement,
                       public IThemeable,
                       public ITranslatable {
public:
  explicit TVoCustomLabel(TWinControl* parent);

  // Re-measures the translated text (an auto-sized label takes its new
  // size), repaints, then moves beside its control.
  void LanguageChanged() override { TextChanged(); }
  void ThemeChanged() override { Invalidate(); }

protected:
  std::u16string LabelText() const override { return Translate(Caption()); }
  // The text changed: re-measures and repaints, then moves beside its
  // control with the new size.
  void TextChanged() override;
  void BeforeAttachedMove() override { AdjustBounds(); }

private:
  TScopedRegistration<IThemeManager, IThemeable> FTheme{this, ThemeManager()};
  TScopedRegistration<ITranslator, ITranslatable> FTranslation{this, Translator()};
};

// The published face.
class TVoLabel : public TVoCustomLabel {
public:
  using TVoCustomLabel::TVoCustomLabel;
};
