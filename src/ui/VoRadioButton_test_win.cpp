#include "ui/VoRadioButton_win.h"

#include "ui/testing/KaLayoutRecorder.h"
#include "ui/testing/KaTestTheme.h"
#include "ui/testing/KaUiTesting_win.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const TDistinctTheme Theme;

// A plain container: radio buttons on it form groups of their own.
class TBox : public TCustomControl {
public:
  explicit TBox(TWinControl* parent) : TCustomControl(parent) { SetColor(0xFFFFFF); }
};

TVoRadioButton& Radio(TVoRadioButton& r, int top, int group, const char16_t* caption) {
  r.SetBounds(8, top, 121, 17);
  r.SetGroupIndex(group);
  r.SetCaption(caption);
  return r;
}

// The knob along its middle row: outline, the two fill rings, the dot rings
// and the centre.
void ExpectKnob(const TBitmap& b, TColor left, TColor right, TColor fill, TColor dot) {
  EXPECT_EQ(b.Pixel(0, 8), left);
  EXPECT_EQ(b.Pixel(6, 2), left);
  EXPECT_EQ(b.Pixel(6, 14), left);
  EXPECT_EQ(b.Pixel(12, 8), right);
  EXPECT_EQ(b.Pixel(1, 8), fill);
  EXPECT_EQ(b.Pixel(2, 8), fill);
  EXPECT_EQ(b.Pixel(11, 8), fill);
  for (int x = 3; x <= 6; ++x)
    EXPECT_EQ(b.Pixel(x, 8), dot) << x;
  EXPECT_EQ(b.Pixel(9, 8), dot);
  EXPECT_EQ(b.Pixel(6, 5), dot);
  // Outside the outline lies the form.
  EXPECT_EQ(b.Pixel(1, 3), 0xFFFFFFu);
}

} // namespace

TEST(VoRadioButton, TheKnobInEveryState) {
  TThemeScope scope(std::make_shared<TDistinctTheme>());
  TTestForm form;
  TVoRadioButton r(&form), other(&form);
  Radio(r, 8, 1, u"Indy");
  Radio(other, 30, 2, u"Other");
  form.HandleNeeded();
  PumpMessages();

  ExpectKnob(RenderControl(r), Theme.BorderDarkColor(), Theme.BorderLightColor(), 0xFFFFFF,
             0xFFFFFF);
  r.SetChecked(true);
  ExpectKnob(RenderControl(r), Theme.BorderDarkColor(), Theme.BorderLightColor(), 0xFFFFFF,
             0x000000);
  r.SetFocus();
  PumpMessages();
  ExpectKnob(RenderControl(r), Theme.BorderDarkColor(), Theme.BorderLightColor(),
             Theme.FocusColor(), 0x000000);
  other.SetFocus();
  PumpMessages();
  r.SetEnabled(false);
  ExpectKnob(RenderControl(r), Theme.BorderLightColor(), Theme.BorderLightColor(),
             Theme.WindowColor(), Theme.BorderLightColor());
  r.SetChecked(false);
  ExpectKnob(RenderControl(r), Theme.BorderLightColor(), Theme.BorderLightColor(),
             Theme.WindowColor(), Theme.WindowColor());
}

TEST(VoRadioButton, CheckingOneUnchecksItsGroupOnTheSameParentOnly) {
  TTestForm form;
  TBox panel(&form);
  panel.SetBounds(150, 0, 150, 100);
  TVoRadioButton indy(&form), curl(&form), wininet(&form), direct(&form), loose(&form);
  TVoRadioButton inner1(&panel), inner2(&panel);
  Radio(indy, 8, 1, u"Indy");
  Radio(curl, 26, 1, u"libcurl");
  Radio(wininet, 44, 1, u"WinInet");
  Radio(direct, 62, 2, u"Direct");
  Radio(loose, 80, -1, u"No group");
  Radio(inner1, 8, 1, u"Inner 1");
  Radio(inner2, 26, 1, u"Inner 2");
  int curlChanges = 0;
  curl.OnChange = [&](TComponent&) { ++curlChanges; };

  indy.SetChecked(true);
  direct.SetChecked(true);
  loose.SetChecked(true);
  inner1.SetChecked(true);
  curl.SetChecked(true);
  EXPECT_EQ(curlChanges, 1);
  EXPECT_FALSE(indy.Checked());
  EXPECT_TRUE(curl.Checked());
  // Another group, no group, and the same group on another parent stay.
  EXPECT_TRUE(direct.Checked());
  EXPECT_TRUE(loose.Checked());
  EXPECT_TRUE(inner1.Checked());
  // Tab reaches the group at its checked button only.
  EXPECT_TRUE(curl.TabStop());
  EXPECT_FALSE(indy.TabStop());
  EXPECT_FALSE(wininet.TabStop());
  EXPECT_TRUE(direct.TabStop());
  EXPECT_TRUE(inner1.TabStop());
  EXPECT_FALSE(inner2.TabStop());

  wininet.SetChecked(true);
  EXPECT_FALSE(curl.Checked());
  EXPECT_EQ(curlChanges, 2);
  EXPECT_TRUE(wininet.TabStop());
  EXPECT_FALSE(curl.TabStop());

  // A button of no group leaves the others alone.
  TVoRadioButton loose2(&form);
  Radio(loose2, 98, -1, u"No group either");
  loose2.SetChecked(true);
  EXPECT_TRUE(loose.Checked());
  EXPECT_TRUE(wininet.Checked());

  // Unchecking by the program leaves the group without a choice.
  wininet.SetChecked(false);
  EXPECT_FALSE(indy.Checked() || curl.Checked() || wininet.Checked());
}

TEST(VoRadioButton, AClickChecksFiresAndTakesTheFocus) {
  TTestForm form;
  TVoRadioButton a(&form), b(&form);
  Radio(a, 8, 1, u"&Auto-detect");
  Radio(b, 26, 1, u"&Direct");
  a.SetChecked(true);
  int clicks = 0, changes = 0;
  b.OnClick = [&](TComponent&) { ++clicks; };
  b.OnChange = [&](TComponent&) { ++changes; };
  form.HandleNeeded();
  PumpMessages();

  // Unchecked, b lost its tab stop, but a click still focuses it.
  Click(b);
  EXPECT_TRUE(b.Checked());
  EXPECT_FALSE(a.Checked());
  EXPECT_TRUE(b.Focused());
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(changes, 1);
  // Clicking the checked button changes nothing.
  Click(b);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(changes, 1);

  PressAltChar(u'a');
  EXPECT_TRUE(a.Checked());
  EXPECT_TRUE(a.Focused());
  b.SetFocus();
  PressKey(VK_SPACE);
  EXPECT_TRUE(b.Checked());

  TLayoutRecorder layout;
  a.SetTop(60);
  b.SetEnabled(false);
  EXPECT_EQ(layout.Count("moved", &a), 1);
  EXPECT_EQ(layout.Count("enabled", &b), 1);
}
