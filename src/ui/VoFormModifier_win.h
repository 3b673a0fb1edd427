#pragma once

// The drawn window frame of the wizard and its dialogs (Windows only): a
// component that takes a form's own frame away and draws a flat one in the
// form's non-client area instead: three lines all round, a caption bar with
// the translated caption, up to three caption buttons (minimize, maximize,
// close) and an optional language box. It answers the system's hit-test
// questions with the system's own codes, so the caption drags the window and
// the border edges resize it, and turns clicks on its buttons into the usual
// window actions.
//
//   class TMainForm : public TForm {
//     TVoFormModifier FFrame{this};        // a member, made with the form
//     TMainForm() {
//       FFrame.SetCaption(u"$(Installer)");
//       FFrame.SetMinMaxVisible(false);
//       FFrame.SetResizeEnabled(false);
//     }
//   };
//
// The modifier sees every message of the form after the form's own handling
// (it replaces the form's WindowProc and puts the previous one back when it
// goes). Frame sizes are 3 pixels at the sides and bottom and 22 at the top
// with the caption bar (3 without). Geometry, hit-test zones and the caption
// buttons' states are ui/VoFormModifier.h.
//
// Deliberately unlike a plain reading of the frame's description: the
// caption strip answers "caption" or "menu" only while the caption bar is
// shown, and a caption button clicks only when the press went down on that
// same button (see TVoCaptionButtons::Release).

#include "i18n/KaTranslator.h"
#include "ui/Bitmap_win.h"
#include "ui/Form_win.h"
#include "ui/KaScopedRegistration.h"
#include "ui/VoFormModifier.h"

#include <optional>
#include <string>

// A click on the language box: the modifier and the box's rectangle (window
// coordinates), for a pop-up list under it.
using TVoPopupClick = std::function<void(TComponent& sender, const TRect& r)>;

// One caption button: its state (in the modifier's TVoCaptionButtons) and
// its strip of five 18 x 18 frames (normal, disabled, pressed, unused, hot).
class TVoFormButton {
public:
  // Raises EResNotFound when the strip is not among the program's resources.
  TVoFormButton(TVoCaptionButton& state, const char* resource);

  const TBitmap& Image() const { return FImage; }
  // In window coordinates.
  TRect Bounds() const { return FState.Bounds(); }
  bool Enabled() const { return FState.Enabled; }
  void SetEnabled(bool value) { FState.Enabled = value; }
  bool Visible() const { return FState.Visible; }
  void SetVisible(bool value) { FState.Visible = value; }
  bool Hot() const { return FState.Hot; }
  bool Pressed() const { return FState.Pressed; }
  int Left() const { return FState.Left; }
  void SetLeft(int value) { FState.Left = value; }
  int Top() const { return FState.Top; }
  void SetTop(int value) { FState.Top = value; }
  int Width() const { return FState.Width; }
  void SetWidth(int value) { FState.Width = value; }
  int Height() const { return FState.Height; }
  void SetHeight(int value) { FState.Height = value; }

  // Blends the frame of its state onto `dc` at Bounds; nothing when it is
  // not visible.
  void Draw(HDC dc) const;

private:
  TVoCaptionButton& FState;
  TBitmap FImage;
};

class TVoCustomFormModifier : public TComponent, public IThemeable, public ITranslatable {
public:
  // With a form as `owner`, takes the form's frame away (border style none)
  // and its window procedure over; with another owner it does nothing.
  // Raises EResNotFound when the caption buttons' strips are not among the
  // program's resources.
  explicit TVoCustomFormModifier(TComponent* owner);
  // Puts the form's window procedure back.
  ~TVoCustomFormModifier() override;

  TForm* Form() const { return FForm; }

  // The caption with translation markers; CaptionText is its translation,
  // which is drawn and, on the main form, is the application's title.
  const std::u16string& Caption() const { return FCaption; }
  void SetCaption(const std::u16string& caption);
  const std::u16string& CaptionText() const { return FCaptionText; }

  // Close button enabled and shown; minimize and maximize shown.
  bool ExitEnabled() const { return CloseButton().Enabled(); }
  void SetExitEnabled(bool value);
  bool ExitVisible() const { return CloseButton().Visible(); }
  void SetExitVisible(bool value);
  bool MinMaxVisible() const { return MinimizeButton().Visible(); }
  void SetMinMaxVisible(bool value);

  // The border edges and corners resize the window.
  bool ResizeEnabled() const { return FResizeEnabled; }
  void SetResizeEnabled(bool value) { FResizeEnabled = value; }
  // The caption bar with the caption, the buttons and the language box;
  // without it the top border is 3 pixels like the others.
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool value);

  // The text of the language box left of the caption buttons; empty: none.
  const std::u16string& Lang() const { return FLang; }
  void SetLang(const std::u16string& lang);
  // Where the language box was drawn last (window coordinates).
  const TRect& LangRect() const { return FLangRect; }
  TVoPopupClick OnLangClick;

  TVoFormButton& MinimizeButton() { return FMinimize; }
  TVoFormButton& MaximizeButton() { return FMaximize; }
  TVoFormButton& CloseButton() { return FClose; }
  const TVoFormButton& MinimizeButton() const { return FMinimize; }
  const TVoFormButton& MaximizeButton() const { return FMaximize; }
  const TVoFormButton& CloseButton() const { return FClose; }

  void LanguageChanged() override;
  void ThemeChanged() override { RepaintFrame(); }

  // Paints the frame onto the form's window now.
  void RepaintFrame();
  // Draws the whole frame of a window `window` large onto `dc`, whose origin
  // is the window's top-left corner (what RepaintFrame shows).
  void DrawFrame(HDC dc, TSize window);

private:
  void WndProc(TMessage& message);
  // The window coordinates of a non-client message's screen point.
  TPoint WindowPoint(LPARAM lParam) const;
  TSize WindowSize() const;
  void Release(TPoint p);
  void DrawCaption(HDC dc, TSize window);
  void DrawLangBox(HDC dc, TSize window);
  void FrameChanged();

  TForm* FForm = nullptr;
  TWndMethod FSavedWindowProc;
  bool FResizeEnabled = true;
  bool FShowCaption = true;
  TVoCaptionButtons FButtons;
  TVoFormButton FMinimize;
  TVoFormButton FMaximize;
  TVoFormButton FClose;
  std::u16string FCaption;
  std::u16string FCaptionText;
  std::u16string FLang;
  TRect FLangRect;
  TBitmap FFrameBuffer;
  // Last: the modifier leaves both services before anything else goes.
  TScopedRegistration<IThemeManager, IThemeable> FTheme{this, ThemeManager()};
  TScopedRegistration<ITranslator, ITranslatable> FTranslation{this, Translator()};
};

// The published face.
class TVoFormModifier : public TVoCustomFormModifier {
public:
  using TVoCustomFormModifier::TVoCustomFormModifier;
};
