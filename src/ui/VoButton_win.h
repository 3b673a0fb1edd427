#pragma once

// The sprite button of the wizard (Windows only). Its face is a PNG strip of
// five equal frames (PNG5: normal, disabled, pressed, down, hot); the button
// is always exactly one frame large, whatever bounds it is given. The caption
// (with translation markers) is rendered onto all five frames at once, each
// in its own colour, keeping the arrow side of the face free (Position); the
// shown frame follows the state. An optional icon strip of two halves (PNG2)
// is centred on the face, the right half on the disabled frame.
//
//   TVoButton next{page};
//   next.LoadPNG5(BUTTON_NEXT);           // 94 x 20 from a 470 x 20 strip
//   next.SetPosition(tbpRight);
//   next.SetCaption(u"$(Next)");
//   next.SetDefault(true);
//   next.OnClick = [this](TComponent&) { ... };
//
// Clicks:
// - OnClick fires when the left button comes up after going down on the
//   button, wherever the pointer is by then, as long as the button can take
//   the focus. OnRightClick fires when the right button goes down.
// - Enter (without Shift, Ctrl or Alt) clicks the focused button, or the
//   Default button while the focus is on a control that is no button.
//   Escape clicks the Cancel button. The accelerator of the translated
//   caption ("&Next") clicks it too.
// - Clicking does not move the focus to the button.
//
// The frame's corners may be transparent: the button shows what its parent
// paints beneath it there. The arithmetic (frame choice, sizes, text and
// icon places) is ui/VoButton.h.

#include "ui/KaCustomControl_win.h"
#include "ui/KaPngImage.h"
#include "ui/VoAttachment_win.h"
#include "ui/VoButton.h"

class TVoButton : public TKaCustomControl, public TAttachedPlacement {
public:
  explicit TVoButton(TWinControl* parent);

  bool Cancel() const { return FCancel; }
  void SetCancel(bool value) { FCancel = value; }
  bool Default() const { return FDefault; }
  // Also has the button work out anew whether Enter clicks it.
  void SetDefault(bool value);
  // Latched: shows frame 3 while enabled.
  bool Down() const { return FState.Down; }
  void SetDown(bool value);

  const std::u16string& Caption() const { return FCaption; }
  void SetCaption(const std::u16string& caption);

  // The face. Assigning an image (an empty one for none) re-applies the
  // bounds, so the button takes the size of one frame, and renders.
  const TPngImage& PNG5() const { return FPNG5; }
  void SetPNG5(const TPngImage& image);
  // The face from the program's resources (names in ui/VoArtwork.h); raises
  // EResNotFound when it is not there.
  void LoadPNG5(const char* resource);
  // The icon strip: two halves side by side.
  const TPngImage& PNG2() const { return FPNG2; }
  void SetPNG2(const TPngImage& image);
  // The colour of PNG2 that is left out (transparent).
  TColor PNG2_bgcolor() const { return FPNG2BgColor; }
  void SetPNG2_bgcolor(TColor color);
  // When it becomes true, PNG2_bgcolor takes the colour of PNG2's
  // bottom-left pixel.
  bool PNG2_bgauto() const { return FPNG2BgAuto; }
  void SetPNG2_bgauto(bool value);

  // The side of the face kept free of text: the arrow of a Next face is on
  // the right (tbpRight), of a Previous face on the left (tbpLeft).
  TVoButtonTextPosition Position() const { return FPosition; }
  void SetPosition(TVoButtonTextPosition position);

  // Kept and re-rendered for the form's description; the face is drawn the
  // same either way.
  bool ShowBorder() const { return FShowBorder; }
  void SetShowBorder(bool value);

  TNotifyEvent OnRightClick;

  // The frame shown (0 normal, 1 disabled, 2 pressed, 3 down, 4 hot).
  int State() const { return FFrame; }
  bool Hot() const { return FState.Hot; }
  bool Pressed() const { return FState.Pressed; }
  // Whether Enter clicks this button now.
  bool DefaultActive() const { return FDefaultActive; }

  // A button is one frame of its face large.
  void SetBounds(int left, int top, int width, int height) override;

  bool DialogKey(WORD key, TShiftState shift) override;
  bool DialogChar(char16_t ch) override;
  // Enter clicks this button when it got the focus; while another button
  // has it, that one; while a control that is no button has it, the Default
  // one.
  void FocusChanged(TWinControl* focused) override;

  // Translates the hint and renders the caption anew.
  void LanguageChanged() override;

protected:
  void DrawBuffer(int width, int height) override;
  // Shows the current frame of Buffer.
  void Paint(HDC dc) override;
  void HandleCreated() override;

  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void EnabledChanged() override;
  void FontChanged() override;

private:
  // After a change of Enabled, Down, Hot or Pressed.
  void ChooseFrame();
  void ImageChanged();
  void DrawIcon();
  void DrawCaption(TSize size);

  TVoButtonState FState;
  int FFrame = VoButtonFrameNormal;
  bool FDefaultActive = false;
  bool FCancel = false;
  bool FDefault = false;
  bool FPNG2BgAuto = false;
  bool FShowBorder = true;
  TColor FPNG2BgColor = 0;
  TVoButtonTextPosition FPosition = tbpRight;
  std::u16string FCaption;
  TPngImage FPNG2;
  TPngImage FPNG5;
};
