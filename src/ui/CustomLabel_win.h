#pragma once

// The wide-text label (Windows only): a graphic control that draws one text
// in its font, left, centred or right, on one line or word-wrapped, over
// whatever its parent paints beneath it (Transparent, the default) or on its
// Color. An auto-sized label takes the size of its text whenever the text,
// the font or the wrapping changes.
//
// A descendant shows another text than Caption (a translation) by
// overriding LabelText, and calls TextChanged when that text changes.

#include "ui/GraphicControl_win.h"

#include <string>

class TWinControl;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };

class TCustomLabel : public TGraphicControl {
public:
  explicit TCustomLabel(TWinControl* parent);

  const std::u16string& Caption() const { return FCaption; }
  void SetCaption(const std::u16string& caption);

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  // "&" marks the accelerator (shown underlined; "&&" is an "&") that
  // focuses FocusControl.
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool value);
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* control) { FFocusControl = control; }

  // The size the text needs: one line, or wrapped at `wrapWidth`.
  TSize TextSize(int wrapWidth);

  // An auto-sized label keeps the size of its text (wrapped: its width).
  void SetBounds(int left, int top, int width, int height) override;

  bool DialogChar(char16_t ch) override;

protected:
  // The text drawn and measured; Caption unless a descendant says otherwise.
  virtual std::u16string LabelText() const { return FCaption; }
  // Re-measures (auto-size) and repaints.
  virtual void TextChanged();
  void AdjustBounds();

  void Paint(HDC dc) override;
  void FontChanged() override;

private:
  UINT DrawFlags() const;

  std::u16string FCaption;
  bool FAutoSize = true;
  bool FWordWrap = false;
  bool FTransparent = true;
  bool FShowAccelChar = true;
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  TWinControl* FFocusControl = nullptr;
};
