#include "ui/VoButton_win.h"

#include "ui/CustomEdit_win.h"
#include "ui/Font_win.h"
#include "ui/VoArtwork.h"
#include "ui/VoPanel_win.h"
#include "ui/testing/KaPngWriter.h"
#include "ui/testing/KaUiTesting_win.h"

#include <gtest/gtest.h>

namespace {

// Straight 0xAARRGGBB colours of the five frames of the test face.
constexpr uint32_t FaceColors[VoButtonFrameCount] = {0xFFF0F0F0, 0xFF808080, 0xFF203040, 0xFFA0C0E0,
                                                     0xFFFFF0C0};

TPngImage Decode(int width, int height, const std::vector<uint32_t>& pixels) {
  const std::vector<uint8_t> file = EncodePng(width, height, pixels);
  return TPngImage::Decode(file.data(), file.size());
}

// A 470 x 20 strip of five flat frames in FaceColors.
TPngImage Face() {
  std::vector<uint32_t> pixels;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 470; ++x)
      pixels.push_back(FaceColors[x / 94]);
  return Decode(470, 20, pixels);
}

TColor Theme(uint32_t argb) {
  return ((argb & 0xFF) << 16) | (argb & 0xFF00) | ((argb >> 16) & 0xFF);
}

// The frame a person sees: the colour of a pixel away from the caption.
TColor ShownFace(TVoButton& button) { return RenderControl(button).Pixel(1, 1); }

class BufferedButton : public TVoButton {
public:
  using TVoButton::Buffer;
  using TVoButton::TVoButton;
};

// What the five frames of a Face() button `size` large with `caption`
// should hold, drawn here by hand.
TBitmap ExpectedFrames(const std::u16string& caption, TVoButtonTextPosition position, TSize size,
                       const TFont& font) {
  TBitmap b(size.Width * VoButtonFrameCount, size.Height);
  for (int frame = 0; frame < VoButtonFrameCount; ++frame) {
    RECT all{frame * size.Width, 0, (frame + 1) * size.Width, size.Height};
    FillRect(b.DC(), &all, SolidBrush(Theme(FaceColors[frame])));
  }
  SelectObject(b.DC(), FontHandle(font));
  SetBkMode(b.DC(), TRANSPARENT);
  for (int frame = 0; frame < VoButtonFrameCount; ++frame) {
    SetTextColor(b.DC(), VoButtonTextColor(frame));
    TRect t = VoButtonTextRect(position, frame, size);
    RECT r{t.Left, t.Top, t.Right, t.Bottom};
    DrawTextW(b.DC(), reinterpret_cast<const wchar_t*>(caption.c_str()),
              static_cast<int>(caption.size()), &r,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_END_ELLIPSIS);
  }
  GdiFlush();
  return b;
}

// How many pixels differ between the two, and whether any text at all is
// in `a` (pixels that are not the face's).
struct TComparison {
  int Different = 0;
  int Text = 0;
};
TComparison Compare(const TBitmap& a, const TBitmap& b) {
  TComparison c;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) {
      c.Different += a.Pixel(x, y) != b.Pixel(x, y);
      c.Text += a.Pixel(x, y) != Theme(FaceColors[x / (a.Width() / VoButtonFrameCount)]);
    }
  return c;
}

void Dutch() { UseLanguage("vb-nl", {{u"Next", u"Volgende"}, {u"Go", u"&Verder"}}); }
void English() { UseLanguage("vb-en", {{u"Next", u"Next"}, {u"Go", u"&Proceed"}}); }

} // namespace

TEST(VoButtonWindow, IsOneFrameOfItsFaceLarge) {
  TTestForm form;
  TVoButton button(&form);
  button.SetPNG5(Face());
  EXPECT_EQ(button.Width(), 94);
  EXPECT_EQ(button.Height(), 20);
  button.SetBounds(10, 20, 200, 50);
  EXPECT_EQ(button.BoundsRect(), Bounds(10, 20, 94, 20));

  // Without a face it takes what it is given.
  button.SetPNG5(TPngImage{});
  button.SetBounds(10, 20, 60, 30);
  EXPECT_EQ(button.BoundsRect(), Bounds(10, 20, 60, 30));

  // The program's own Next face.
  button.LoadPNG5(BUTTON_NEXT);
  EXPECT_EQ(button.BoundsRect(), Bounds(10, 20, 94, 20));
}

TEST(VoButtonWindow, ShowsTheFrameOfItsState) {
  TTestForm form;
  TVoButton button(&form);
  button.SetPNG5(Face());
  EXPECT_EQ(ShownFace(button), Theme(FaceColors[0]));
  button.SetEnabled(false);
  EXPECT_EQ(button.State(), 1);
  EXPECT_EQ(ShownFace(button), Theme(FaceColors[1]));
  // Disabled and latched: disabled, not down.
  button.SetDown(true);
  EXPECT_EQ(button.State(), 1);
  EXPECT_EQ(ShownFace(button), Theme(FaceColors[1]));
  button.SetEnabled(true);
  EXPECT_EQ(ShownFace(button), Theme(FaceColors[3]));
  button.SetDown(false);
  EXPECT_EQ(ShownFace(button), Theme(FaceColors[0]));
}

TEST(VoButtonWindow, RendersTheCaptionOnEveryFrameInItsColour) {
  English();
  TTestForm form;
  BufferedButton button(&form);
  button.SetPNG5(Face());
  button.SetCaption(u"$(Next)");
  TComparison c =
      Compare(button.Buffer(), ExpectedFrames(u"Next", tbpRight, {94, 20}, button.Font()));
  EXPECT_EQ(c.Different, 0);
  EXPECT_GT(c.Text, 5 * 20);

  button.SetPosition(tbpLeft);
  c = Compare(button.Buffer(), ExpectedFrames(u"Next", tbpLeft, {94, 20}, button.Font()));
  EXPECT_EQ(c.Different, 0);

  // Another language renders anew; a long caption ends in an ellipsis
  // before the arrow side.
  Dutch();
  c = Compare(button.Buffer(), ExpectedFrames(u"Volgende", tbpLeft, {94, 20}, button.Font()));
  EXPECT_EQ(c.Different, 0);
  button.SetPosition(tbpRight);
  button.SetCaption(u"A caption far too long for the face of the button");
  c = Compare(button.Buffer(), ExpectedFrames(button.Caption(), tbpRight, {94, 20}, button.Font()));
  EXPECT_EQ(c.Different, 0);
  for (int y = 0; y < 20; ++y)
    for (int x = 74; x < 94; ++x)
      ASSERT_EQ(button.Buffer().Pixel(x, y), Theme(FaceColors[0])) << x << "," << y;
}

TEST(VoButtonWindow, ShowsTheLeftHalfOfItsIconAndTheRightHalfWhenDisabled) {
  TTestForm form;
  TVoButton button(&form);
  button.SetPNG5(Face());
  // 2 x (6 x 6): a red and a green square, each in a magenta border.
  std::vector<uint32_t> pixels;
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool border = y == 0 || y == 5 || x % 6 == 0 || x % 6 == 5;
      pixels.push_back(border ? 0xFFFF00FF : x < 6 ? 0xFFFF0000 : 0xFF00FF00);
    }
  button.SetPNG2(Decode(12, 6, pixels));
  button.SetPNG2_bgauto(true);
  EXPECT_EQ(button.PNG2_bgcolor(), 0xFF00FFu);
  // Centred: from ((94 - 6) / 2, (20 - 6) / 2) = (44, 7).
  TBitmap shown = RenderControl(button);
  EXPECT_EQ(shown.Pixel(46, 9), 0x0000FFu);
  EXPECT_EQ(shown.Pixel(44, 7), Theme(FaceColors[0])); // the border is left out
  button.SetEnabled(false);
  shown = RenderControl(button);
  EXPECT_EQ(shown.Pixel(46, 9), 0x00FF00u);
  EXPECT_EQ(shown.Pixel(44, 7), Theme(FaceColors[1]));
}

TEST(VoButtonWindow, TheFaceCornersShowWhatLiesBeneath) {
  TTestForm form;
  form.SetColor(0x00C000);
  TVoButton button(&form);
  button.LoadPNG5(BUTTON_PLAIN);
  // The strip's corner pixels are transparent; its middle is opaque.
  const TBitmap shown = RenderControl(button);
  EXPECT_EQ(shown.Pixel(0, 0), 0x00C000u);
  EXPECT_NE(shown.Pixel(47, 10), 0x00C000u);
}

// Real pointer input from here on: the test program has the display to
// itself.

TEST(VoButtonWindow, HoverPressAndAClickOnReleaseEvenOutside) {
  TTestForm form;
  TVoButton button(&form);
  button.SetPNG5(Face());
  button.SetBounds(50, 50, 0, 0);
  int clicks = 0, rightClicks = 0;
  button.OnClick = [&](TComponent&) { ++clicks; };
  button.OnRightClick = [&](TComponent&) { ++rightClicks; };

  MovePointer(button, 40, 10);
  EXPECT_TRUE(button.Hot());
  EXPECT_EQ(ShownFace(button), Theme(FaceColors[4]));
  PointerButton(mbLeft, true);
  EXPECT_TRUE(button.Pressed());
  EXPECT_EQ(ShownFace(button), Theme(FaceColors[2]));
  EXPECT_EQ(clicks, 0);
  MovePointer(button, 200, 100); // off the button, still held
  EXPECT_FALSE(button.Hot());
  EXPECT_EQ(ShownFace(button), Theme(FaceColors[2]));
  PointerButton(mbLeft, false);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(button.Pressed());
  EXPECT_EQ(ShownFace(button), Theme(FaceColors[0]));

  // The right button clicks on its way down, and never OnClick.
  MovePointer(button, 40, 10);
  PointerButton(mbRight, true);
  EXPECT_EQ(rightClicks, 1);
  EXPECT_TRUE(button.Pressed());
  PointerButton(mbRight, false);
  EXPECT_FALSE(button.Pressed());
  EXPECT_EQ(clicks, 1);
  MovePointer(button, 200, 100);
  EXPECT_EQ(ShownFace(button), Theme(FaceColors[0]));
}

TEST(VoButtonWindow, EnterClicksTheFocusedButtonOrTheDefaultOneAndEscapeTheCancelOne) {
  TTestForm form;
  TCustomEdit edit(&form);
  edit.SetBounds(0, 0, 100, 21);
  edit.SetTabStop(true);
  TVoButton ok(&form), other(&form), cancel(&form);
  int okClicks = 0, otherClicks = 0, cancelClicks = 0;
  ok.OnClick = [&](TComponent&) { ++okClicks; };
  other.OnClick = [&](TComponent&) { ++otherClicks; };
  cancel.OnClick = [&](TComponent&) { ++cancelClicks; };
  ok.SetDefault(true);
  cancel.SetCancel(true);
  ok.SetBounds(0, 30, 0, 0);
  other.SetBounds(100, 30, 0, 0);
  cancel.SetBounds(200, 30, 0, 0);
  PumpMessages();

  edit.SetFocus();
  PumpMessages();
  EXPECT_TRUE(ok.DefaultActive());
  PressKey(VK_RETURN);
  EXPECT_EQ(okClicks, 1);
  EXPECT_EQ(otherClicks, 0);
  PressKey(VK_ESCAPE);
  EXPECT_EQ(cancelClicks, 1);
  EXPECT_EQ(okClicks, 1);

  // With another button focused, Enter is that button's.
  other.SetFocus();
  PumpMessages();
  EXPECT_FALSE(ok.DefaultActive());
  EXPECT_TRUE(other.DefaultActive());
  PressKey(VK_RETURN);
  EXPECT_EQ(otherClicks, 1);
  EXPECT_EQ(okClicks, 1);

  // Back on the edit the default button has it again; disabled, nobody.
  edit.SetFocus();
  PumpMessages();
  ok.SetEnabled(false);
  PressKey(VK_RETURN);
  EXPECT_EQ(okClicks, 1);
  EXPECT_EQ(otherClicks, 1);
  ok.SetEnabled(true);
  PressKey(VK_RETURN);
  EXPECT_EQ(okClicks, 2);

  // Default given up while the edit has the focus: Enter clicks nothing.
  ok.SetDefault(false);
  EXPECT_FALSE(ok.DefaultActive());
  PressKey(VK_RETURN);
  EXPECT_EQ(okClicks, 2);
}

TEST(VoButtonWindow, TheAcceleratorOfTheTranslatedCaptionClicks) {
  Dutch();
  TTestForm form;
  TCustomEdit edit(&form);
  TVoButton button(&form);
  button.SetBounds(0, 30, 0, 0);
  button.SetCaption(u"$(Go)");
  int clicks = 0;
  button.OnClick = [&](TComponent&) { ++clicks; };
  PumpMessages();
  edit.SetFocus();
  PumpMessages();
  PressAltChar(u'v');
  EXPECT_EQ(clicks, 1);
  PressAltChar(u'p');
  EXPECT_EQ(clicks, 1);
  English();
  PressAltChar(u'p');
  EXPECT_EQ(clicks, 2);
  PressAltChar(u'v');
  EXPECT_EQ(clicks, 2);
}

TEST(VoButtonWindow, FollowsTheControlItIsAttachedToWithItsEnabledState) {
  TTestForm form;
  TVoPanel panel(&form);
  panel.SetBounds(20, 30, 100, 21);
  TVoButton button(&form);
  button.SetPNG5(Face());
  button.SetAttachedPosition(lpRight);
  button.SetAttachedTo(&panel);
  EXPECT_EQ(button.BoundsRect(), Bounds(120, 30, 94, 20));

  panel.SetEnabled(false); // a panel reports no enabled changes...
  EXPECT_TRUE(button.Enabled());
  panel.SetBounds(20, 60, 100, 21); // ...but a button takes it over on a move
  EXPECT_EQ(button.BoundsRect(), Bounds(120, 60, 94, 20));
  EXPECT_FALSE(button.Enabled());
  panel.SetEnabled(true);
  LayoutManager()->EnabledChanged(&panel);
  EXPECT_TRUE(button.Enabled());

  button.SetAttachedPosition(lpLeft);
  EXPECT_EQ(button.BoundsRect(), Bounds(-74, 60, 94, 20));
  button.SetAttachedPosition(lpTop);
  button.SetAttachedOffsetY(-1);
  EXPECT_EQ(button.BoundsRect(), Bounds(20, 39, 94, 20));
}
