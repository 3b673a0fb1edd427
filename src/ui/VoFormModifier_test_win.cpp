#include "ui/VoFormModifier_win.h"

#include "ui/Application_win.h"
#include "ui/Font_win.h"
#include "ui/KaDrawing_win.h"
#include "ui/PngResource_win.h"
#include "ui/VoArtwork.h"
#include "ui/testing/KaUiTesting_win.h"

#include <gtest/gtest.h>

namespace {

// A form with the drawn frame, 300 x 200 at (40, 40) of the screen, shown.
class FramedForm : public TForm {
public:
  TVoFormModifier Frame{this};

  explicit FramedForm(bool show = true) {
    SetBounds(40, 40, 300, 200);
    SetColor(0xFFFFFF);
    SetCaption(u"Framed test form");
    if (show) {
      Show();
      PumpMessages();
    }
  }

protected:
  // No task bar button (see TTestForm).
  void CreateParams(TCreateParams& params) override {
    TForm::CreateParams(params);
    params.ExStyle &= ~WS_EX_APPWINDOW;
  }
};

// The frame as the modifier draws it, in a bitmap of the window's size.
TBitmap DrawnFrame(FramedForm& form) {
  TBitmap b(form.Width(), form.Height());
  b.Fill(0xFF00FF);
  form.Frame.DrawFrame(b.DC(), {form.Width(), form.Height()});
  GdiFlush();
  return b;
}

// The screen point of window coordinate (x, y).
TPoint ScreenPoint(TForm& form, int x, int y) {
  RECT r;
  GetWindowRect(form.Handle(), &r);
  return {r.left + x, r.top + y};
}

LRESULT HitTest(TForm& form, int x, int y) {
  TPoint p = ScreenPoint(form, x, y);
  return SendMessageW(form.Handle(), WM_NCHITTEST, 0, MAKELPARAM(p.X, p.Y));
}

// Pixels of the caption strip's frame `frame` blended over the caption bar.
TBitmap ButtonOverCaption(const char* strip, int frame) {
  TBitmap image = TBitmap::FromPng(LoadPngResource(strip));
  TBitmap b(18, 18);
  b.Fill(CurrentTheme()->CaptionColor());
  image.AlphaDraw(b.DC(), 0, 0, {frame * 18, 0, frame * 18 + 18, 18});
  GdiFlush();
  return b;
}

int Differences(const TBitmap& shown, int left, int top, const TBitmap& expected) {
  int n = 0;
  for (int y = 0; y < expected.Height(); ++y)
    for (int x = 0; x < expected.Width(); ++x)
      n += shown.Pixel(left + x, top + y) != expected.Pixel(x, y);
  return n;
}

void Dutch() { UseLanguage("vf-nl", {{u"Installer", u"Installatie"}}); }
void English() { UseLanguage("vf-en", {{u"Installer", u"Installer"}}); }

} // namespace

TEST(VoFormModifierWindow, TheClientAreaLiesInsideTheFrame) {
  FramedForm form;
  EXPECT_EQ(form.BorderStyle(), bsNone);
  EXPECT_EQ(form.ClientWidth(), 294);
  EXPECT_EQ(form.ClientHeight(), 175);
  POINT origin{0, 0};
  ClientToScreen(form.Handle(), &origin);
  EXPECT_EQ(origin.x, 43);
  EXPECT_EQ(origin.y, 62);

  // Without the caption bar the top border is 3 pixels like the others.
  form.Frame.SetShowCaption(false);
  EXPECT_EQ(form.ClientHeight(), 194);
  origin = {0, 0};
  ClientToScreen(form.Handle(), &origin);
  EXPECT_EQ(origin.y, 43);
}

TEST(VoFormModifierWindow, ATakenOverWindowLosesItsSystemFrame) {
  TTestForm plain(200, 100); // shown before the modifier comes
  plain.SetBorderStyle(bsSizeable);
  plain.DestroyHandle();
  plain.Show();
  ASSERT_TRUE(GetWindowLongW(plain.Handle(), GWL_STYLE) & WS_THICKFRAME);
  {
    TVoFormModifier frame(&plain);
    EXPECT_FALSE(GetWindowLongW(plain.Handle(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME));
    EXPECT_EQ(plain.ClientWidth(), 194);
    EXPECT_EQ(HitTest(plain, 0, 50), HTLEFT);
  }
  // Gone: the form's messages are the form's own again.
  EXPECT_NE(HitTest(plain, 0, 50), HTLEFT);
}

TEST(VoFormModifierWindow, DrawsThreeLinesTheCaptionBarAndTheButtons) {
  English();
  FramedForm form;
  form.Frame.SetCaption(u"$(Installer)");
  const IThemePtr theme = CurrentTheme();
  const TBitmap frame = DrawnFrame(form);
  // Outer, middle and inner line, on every side.
  for (TPoint p : {TPoint{0, 100}, TPoint{150, 199}, TPoint{299, 100}, TPoint{150, 0}})
    EXPECT_EQ(frame.Pixel(p.X, p.Y), theme->FrameColor()) << p.X << "," << p.Y;
  for (TPoint p : {TPoint{1, 100}, TPoint{150, 198}, TPoint{298, 100}, TPoint{150, 1}})
    EXPECT_EQ(frame.Pixel(p.X, p.Y), theme->WindowColor()) << p.X << "," << p.Y;
  for (TPoint p : {TPoint{2, 100}, TPoint{150, 197}, TPoint{297, 100}})
    EXPECT_EQ(frame.Pixel(p.X, p.Y), theme->FrameColor()) << p.X << "," << p.Y;
  // The client area is not the frame's.
  EXPECT_EQ(frame.Pixel(3, 100), 0xFF00FFu);
  EXPECT_EQ(frame.Pixel(150, 22), 0xFF00FFu);
  // The caption bar from the inner line to the client area.
  EXPECT_EQ(frame.Pixel(2, 2), theme->CaptionColor());
  EXPECT_EQ(frame.Pixel(150, 21), theme->CaptionColor());
  EXPECT_EQ(frame.Pixel(297, 21), theme->CaptionColor());
  // The caption in bold white: white pixels where its letters are.
  int white = 0;
  for (int y = 5; y < 20; ++y)
    for (int x = 8; x < 70; ++x)
      white += frame.Pixel(x, y) == theme->WindowColor();
  EXPECT_GT(white, 20);
  // Three buttons from the right, one pixel apart, each its normal frame.
  EXPECT_EQ(form.Frame.CloseButton().Bounds(), (TRect{279, 3, 297, 21}));
  EXPECT_EQ(form.Frame.MaximizeButton().Bounds(), (TRect{260, 3, 278, 21}));
  EXPECT_EQ(form.Frame.MinimizeButton().Bounds(), (TRect{241, 3, 259, 21}));
  EXPECT_EQ(Differences(frame, 279, 3, ButtonOverCaption(VO_MODIFIER_CLOSE, 0)), 0);
  EXPECT_EQ(Differences(frame, 260, 3, ButtonOverCaption(VO_MODIFIER_MAXIMIZE, 0)), 0);
  EXPECT_EQ(Differences(frame, 241, 3, ButtonOverCaption(VO_MODIFIER_MINIMIZE, 0)), 0);

  // What the window shows after painting is that frame.
  PumpMessages();
  HDC dc = GetWindowDC(form.Handle());
  EXPECT_EQ(GetPixel(dc, 0, 100), theme->FrameColor());
  EXPECT_EQ(GetPixel(dc, 1, 100), theme->WindowColor());
  EXPECT_EQ(GetPixel(dc, 2, 100), theme->FrameColor());
  EXPECT_EQ(GetPixel(dc, 150, 21), theme->CaptionColor());
  ReleaseDC(form.Handle(), dc);
}

TEST(VoFormModifierWindow, CaptionPiecesWithTrianglesBetween) {
  FramedForm form;
  form.Frame.SetCaption(u"Setup > Options > Internet");
  const TBitmap frame = DrawnFrame(form);
  // Where the pieces go, measured in the caption's font.
  TBitmap measure(1, 1);
  TFont bold = form.Font();
  bold.Style |= fsBold;
  SelectObject(measure.DC(), FontHandle(bold));
  std::vector<int> widths;
  for (const auto& piece : VoSplitCaption(form.Frame.CaptionText()))
    widths.push_back(TextExtent(measure.DC(), piece).Width);
  const TVoCaptionLayout layout = VoCaptionLayout(widths);
  ASSERT_EQ(layout.TriangleX.size(), 2u);
  const TColor arrow = CurrentTheme()->CaptionArrowColor();
  for (int x : layout.TriangleX) {
    // Five columns, each a pixel shorter at both ends than the one before.
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(frame.Pixel(x + i, 7 + i), arrow) << x + i;
      EXPECT_EQ(frame.Pixel(x + i, 15 - i), arrow) << x + i;
      EXPECT_NE(frame.Pixel(x + i, 6 + i), arrow) << x + i;
      EXPECT_NE(frame.Pixel(x + i, 16 - i), arrow) << x + i;
    }
  }
  // No ">" drawn: the pieces hold none, and a plain caption has no triangle.
  form.Frame.SetCaption(u"Setup");
  const TBitmap plain = DrawnFrame(form);
  for (int i = 0; i < 5; ++i)
    EXPECT_NE(plain.Pixel(layout.TriangleX[0] + i, 11), arrow);
}

TEST(VoFormModifierWindow, CloseAloneStandsAtTheRightWithTheLanguageBoxBesideIt) {
  FramedForm form;
  form.Frame.SetMinMaxVisible(false);
  form.Frame.SetLang(u"NL");
  const TBitmap frame = DrawnFrame(form);
  EXPECT_EQ(form.Frame.CloseButton().Left(), 300 - 21);
  EXPECT_EQ(Differences(frame, 279, 3, ButtonOverCaption(VO_MODIFIER_CLOSE, 0)), 0);
  // Where minimize and maximize would be: the caption bar or the box.
  const TRect box = form.Frame.LangRect();
  EXPECT_EQ(box.Right, 300 - 22);
  EXPECT_EQ(box.Top, 3);
  EXPECT_EQ(box.Bottom, 21);
  const IThemePtr theme = CurrentTheme();
  EXPECT_EQ(frame.Pixel(box.Left, 3), theme->CaptionColor()); // rounded corners
  EXPECT_EQ(frame.Pixel(box.Right - 1, 20), theme->CaptionColor());
  EXPECT_EQ(frame.Pixel(box.Left + 1, 3), theme->WindowColor()); // its outline
  EXPECT_EQ(frame.Pixel(box.Left, 10), theme->WindowColor());
  EXPECT_EQ(frame.Pixel(box.Left - 3, 10), theme->CaptionColor());
  EXPECT_EQ(HitTest(form, box.Left + 2, 10), HTMENU);

  // Without caption: no bar, no buttons, no box; the top is three lines.
  form.Frame.SetShowCaption(false);
  const TBitmap bare = DrawnFrame(form);
  EXPECT_EQ(bare.Pixel(2, 2), theme->FrameColor());
  EXPECT_EQ(bare.Pixel(150, 3), 0xFF00FFu);
  EXPECT_EQ(bare.Pixel(285, 10), 0xFF00FFu);
}

TEST(VoFormModifierWindow, HitTestsWithTheSystemsCodes) {
  FramedForm form;
  EXPECT_EQ(HitTest(form, 100, 10), HTCAPTION);
  EXPECT_EQ(HitTest(form, 285, 10), HTMENU); // close
  EXPECT_EQ(HitTest(form, 250, 10), HTMENU); // minimize
  EXPECT_EQ(HitTest(form, 100, 100), HTCLIENT);
  EXPECT_EQ(HitTest(form, 0, 100), HTLEFT);
  EXPECT_EQ(HitTest(form, 299, 100), HTRIGHT);
  EXPECT_EQ(HitTest(form, 100, 0), HTTOP);
  EXPECT_EQ(HitTest(form, 100, 199), HTBOTTOM);
  EXPECT_EQ(HitTest(form, 1, 1), HTTOPLEFT);
  EXPECT_EQ(HitTest(form, 298, 1), HTTOPRIGHT);
  EXPECT_EQ(HitTest(form, 1, 198), HTBOTTOMLEFT);
  EXPECT_EQ(HitTest(form, 290, 190), HTBOTTOMRIGHT); // the grip, in the client area

  // Not resizable: no border answers any more; the caption still drags.
  form.Frame.SetResizeEnabled(false);
  for (TPoint p : {TPoint{0, 100}, TPoint{299, 100}, TPoint{100, 0}, TPoint{100, 199}, TPoint{1, 1},
                   TPoint{298, 198}, TPoint{290, 190}}) {
    const LRESULT hit = HitTest(form, p.X, p.Y);
    EXPECT_TRUE(hit < HTLEFT || hit > HTBOTTOMRIGHT) << p.X << "," << p.Y << ": " << hit;
  }
  EXPECT_EQ(HitTest(form, 290, 190), HTCLIENT);
  EXPECT_EQ(HitTest(form, 100, 10), HTCAPTION);
}

TEST(VoFormModifierWindow, LanguageChangeRetitlesTheMainForm) {
  Dutch();
  FramedForm form;
  TForm* before = Application().MainForm();
  Application().SetMainForm(&form);
  form.Frame.SetCaption(u"$(Installer)");
  EXPECT_EQ(form.Frame.CaptionText(), u"Installatie");
  EXPECT_EQ(Application().Title(), "Installatie");
  English();
  EXPECT_EQ(form.Frame.CaptionText(), u"Installer");
  EXPECT_EQ(Application().Title(), "Installer");
  Application().SetMainForm(before);
}

// Real pointer input from here on: the test program has the display to
// itself.

TEST(VoFormModifierWindow, HoverPressAndReleaseOnTheCloseButton) {
  FramedForm form;
  int closeRequests = 0;
  form.OnCloseQuery = [&](TComponent&, bool& canClose) {
    ++closeRequests;
    canClose = false;
  };
  TVoFormButton& close = form.Frame.CloseButton();
  const TPoint onClose = ScreenPoint(form, 288, 12);

  MovePointerTo(onClose);
  EXPECT_TRUE(close.Hot());
  EXPECT_EQ(Differences(DrawnFrame(form), 279, 3, ButtonOverCaption(VO_MODIFIER_CLOSE, 4)), 0);
  PointerButton(mbLeft, true);
  EXPECT_TRUE(close.Pressed());
  EXPECT_EQ(Differences(DrawnFrame(form), 279, 3, ButtonOverCaption(VO_MODIFIER_CLOSE, 2)), 0);
  // Released over the caption instead: nothing closes.
  MovePointerTo(ScreenPoint(form, 100, 12));
  EXPECT_FALSE(close.Hot());
  PointerButton(mbLeft, false);
  EXPECT_FALSE(close.Pressed());
  EXPECT_EQ(closeRequests, 0);

  // Pressed and released on it: the form is asked to close. (So soon after
  // the first press at the same place, the system reports this one as a
  // double click.)
  MovePointerTo(onClose);
  PointerButton(mbLeft, true);
  PointerButton(mbLeft, false);
  EXPECT_EQ(closeRequests, 1);

  // Disabled: its disabled frame, and clicks go nowhere.
  form.Frame.SetExitEnabled(false);
  EXPECT_EQ(Differences(DrawnFrame(form), 279, 3, ButtonOverCaption(VO_MODIFIER_CLOSE, 1)), 0);
  PointerButton(mbLeft, true);
  PointerButton(mbLeft, false);
  EXPECT_EQ(closeRequests, 1);
  MovePointerTo({700, 700});
}

TEST(VoFormModifierWindow, MaximizeAndMinimizeButtons) {
  FramedForm form;
  TForm* before = Application().MainForm();
  Application().SetMainForm(&form);
  MovePointerTo(ScreenPoint(form, 269, 12));
  PointerButton(mbLeft, true);
  PointerButton(mbLeft, false);
  EXPECT_TRUE(PumpUntil([&] { return form.WindowState() == wsMaximized; }));
  // The button is where it is drawn now, at the right of the larger window.
  MovePointerTo(ScreenPoint(form, form.Width() - 31, 12));
  PointerButton(mbLeft, true);
  PointerButton(mbLeft, false);
  EXPECT_TRUE(PumpUntil([&] { return form.WindowState() == wsNormal; }));
  EXPECT_EQ(form.Width(), 300);

  MovePointerTo(ScreenPoint(form, 250, 12));
  PointerButton(mbLeft, true);
  PointerButton(mbLeft, false);
  EXPECT_TRUE(PumpUntil([&] { return form.WindowState() == wsMinimized; }));
  Application().SetMainForm(before);
  MovePointerTo({700, 700});
}
