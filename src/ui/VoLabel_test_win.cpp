#include "ui/VoLabel_win.h"

#include "ui/VoPanel_win.h"
#include "ui/testing/KaUiTesting_win.h"

#include <gtest/gtest.h>

namespace {

// Two languages of this test program's own, with the key Next.
void Dutch() { UseLanguage("vo-nl", {{u"Next", u"Volgende"}}); }
void English() { UseLanguage("vo-en", {{u"Next", u"Next"}}); }

// A label of the framework showing `text` as it is, for comparison.
TBitmap PlainLabel(const std::u16string& text, int left, int top) {
  TTestForm form(120, 40);
  TCustomLabel plain(&form);
  plain.SetCaption(text);
  plain.SetBounds(left, top, 0, 0);
  return RenderControl(form);
}

bool SamePixels(const TBitmap& a, const TBitmap& b) {
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.Pixel(x, y) != b.Pixel(x, y))
        return false;
  return true;
}

} // namespace

TEST(VoLabel, ShowsItsCaptionTranslatedAndResizesWithTheLanguage) {
  English();
  TTestForm form(120, 40);
  TVoLabel label(&form);
  label.SetCaption(u"$(Next)");
  label.SetBounds(10, 10, 0, 0);
  const int english = label.Width();
  EXPECT_TRUE(SamePixels(RenderControl(form), PlainLabel(u"Next", 10, 10)));

  Dutch();
  EXPECT_GT(label.Width(), english); // auto-sized to the longer word
  TCustomLabel measure(&form);
  measure.SetCaption(u"Volgende");
  EXPECT_EQ(label.Width(), measure.Width());
  measure.Hide();
  EXPECT_TRUE(SamePixels(RenderControl(form), PlainLabel(u"Volgende", 10, 10)));
  EXPECT_EQ(label.Caption(), u"$(Next)"); // the marker is kept
}

TEST(VoLabel, LiesTransparentlyOnItsParent) {
  Dutch();
  TTestForm form(120, 40);
  form.SetColor(0x40C0FF);
  TVoLabel label(&form);
  label.SetCaption(u"$(Next)");
  label.SetBounds(10, 10, 0, 0);
  const TBitmap shown = RenderControl(form);
  EXPECT_EQ(shown.Pixel(10, 10), 0x40C0FFu);
  EXPECT_EQ(shown.Pixel(label.Left() + label.Width() - 1, 10), 0x40C0FFu);
}

TEST(VoLabel, FollowsTheControlItIsAttachedTo) {
  English();
  TTestForm form(400, 300);
  TVoPanel edit(&form); // a panel reports its moves as an edit does
  edit.SetBounds(144, 200, 185, 21);
  TVoLabel label(&form);
  label.SetCaption(u"$(Next)");
  ASSERT_EQ(label.Height(), 13);
  label.SetAttachedTo(&edit);
  label.SetAttachedPosition(lpTop);
  EXPECT_EQ(label.BoundsRect().TopLeft(), (TPoint{144, 183}));

  edit.SetBounds(150, 100, 185, 21);
  EXPECT_EQ(label.BoundsRect().TopLeft(), (TPoint{150, 83}));
  label.SetAttachedOffsetX(5);
  label.SetAttachedOffsetY(-2);
  EXPECT_EQ(label.BoundsRect().TopLeft(), (TPoint{155, 81}));

  // On the left, a longer translation keeps the label's right edge 4 pixels
  // from the control.
  label.SetAttachedOffsetX(0);
  label.SetAttachedOffsetY(0);
  label.SetAttachedPosition(lpLeft);
  EXPECT_EQ(label.Left() + label.Width(), 146);
  EXPECT_EQ(label.Top(), 104);
  const int english = label.Width();
  Dutch();
  EXPECT_GT(label.Width(), english);
  EXPECT_EQ(label.Left() + label.Width(), 146);

  // The enabled state follows when the control reports it.
  edit.SetEnabled(false);
  LayoutManager()->EnabledChanged(&edit);
  EXPECT_FALSE(label.Enabled());

  // Let go: the label stays where it is.
  const TRect before = label.BoundsRect();
  label.SetAttachedTo(nullptr);
  edit.SetBounds(0, 0, 185, 21);
  EXPECT_EQ(label.BoundsRect(), before);
}

TEST(VoLabel, LetsGoOfAControlThatGoes) {
  TTestForm form;
  TVoLabel label(&form);
  {
    TVoPanel panel(&form);
    label.SetAttachedTo(&panel);
    EXPECT_EQ(label.AttachedTo(), &panel);
  }
  EXPECT_EQ(label.AttachedTo(), nullptr);
}
