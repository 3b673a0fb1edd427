#pragma once

// The base of the double-buffered owner-drawn controls (Windows only). A
// control renders itself into Buffer, an off-screen bitmap of exactly its
// size, only when something it shows changes (its state, text, size, the
// language or the theme); painting is then a plain copy of Buffer.
//
//   class TMyBar : public TKaCustomControl {
//   protected:
//     void DrawBuffer(int width, int height) override {
//       HDC dc = Buffer().DC();                      // render into the buffer...
//       FillRect(...CurrentTheme()->WindowColor()...);
//       DrawFrame(dc, {0, 0, width, height}, Enabled(), false);
//       TKaCustomControl::DrawBuffer(width, height); // ...then show it at once
//     }
//     // State changes call DrawBuffer(Width(), Height()) themselves.
//   };
//
// The base re-renders on a change of size (not on a mere move) and of the
// theme; on a change of language it translates the hint, and descendants
// that show translated texts re-render there too. A descendant may paint
// another part of Buffer (one frame of a sprite strip) by overriding Paint.

#include "i18n/KaTranslator.h"
#include "ui/CustomControl_win.h"
#include "ui/KaScopedRegistration.h"
#include "ui/KaTheme.h"

class TKaCustomControl : public TCustomControl, public IThemeable, public ITranslatable {
public:
  explicit TKaCustomControl(TWinControl* parent);

  // UTF-16 text with translation markers; the tooltip shows its translation.
  const std::u16string& Hint() const { return FHint; }
  void SetHint(const std::u16string& hint);
  const std::u16string& ShownHint() const { return FShownHint; }

  // A new width or height resizes Buffer, applies the bounds and renders;
  // a move only applies the bounds.
  void SetBounds(int left, int top, int width, int height) override;

  // Translates the hint.
  void LanguageChanged() override;
  // Renders at the current size.
  void ThemeChanged() override;

protected:
  // Renders the control into Buffer. The base version shows the buffer at
  // once (invalidates and paints); descendants draw, then call it.
  virtual void DrawBuffer(int width, int height);
  // Copies Buffer to the control at (0, 0), Width x Height.
  void Paint(HDC dc) override;
  void HandleCreated() override;
  void WndProc(TMessage& message) override;

  TBitmap& Buffer() { return FBuffer; }

private:
  std::u16string FHint;
  std::u16string FShownHint;
  TBitmap FBuffer;
  // Declared after the buffer: the control leaves the theme manager, then
  // the translator, then frees the buffer.
  TScopedRegistration<ITranslator, ITranslatable> FTranslation{this, Translator()};
  TScopedRegistration<IThemeManager, IThemeable> FTheme{this, ThemeManager()};
};
