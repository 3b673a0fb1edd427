#include "setup/VoMessageForm_win.h"

#include "base/KaFiles.h"
#include "i18n/BuiltInTexts.h"
#include "i18n/KaTranslator.h"
#include "setup/testing/FormTesting_win.h"
#include "ui/Application_win.h"
#include "ui/testing/KaUiTesting_win.h"

#include <gtest/gtest.h>

namespace {

class MessageDialogTest : public testing::Test {
protected:
  MessageDialogTest() {
    RegisterTexts();
    Translator()->SetLanguage(u"nl");
  }
};

// What a test learns of the dialog while it is open.
struct TSeen {
  TRect Bounds;
  int LabelLeft = 0, LabelTop = 0, LabelWidth = 0;
  int ButtonRight = 0, BarWidth = 0;
  bool ButtonVisible = false, CancelVisible = true;
  std::u16string Caption;
};

TSeen Look(TForm& form) {
  auto& dialog = dynamic_cast<TVoMessageForm&>(form);
  TSeen s;
  s.Bounds = dialog.BoundsRect();
  s.LabelLeft = dialog.lMessage.Left();
  s.LabelTop = dialog.lMessage.Top();
  s.LabelWidth = dialog.lMessage.Width();
  s.ButtonRight = dialog.btnOK.Left() + dialog.btnOK.Width();
  s.BarWidth = dialog.pBottom.Width();
  s.ButtonVisible = dialog.btnOK.Visible();
  s.CancelVisible = dialog.btnCancel.Visible();
  s.Caption = dialog.FormModifier.CaptionText();
  return s;
}

// A text that a label of the dialog's font shows exactly `width` pixels wide.
std::u16string TextOfWidth(int width) {
  TTestForm form;
  TVoLabel probe(&form);
  for (int wide = 0; wide < 80; ++wide) {
    for (int narrow = 0; narrow < 12; ++narrow) {
      std::u16string text = std::u16string(wide, u'x') + std::u16string(narrow, u'i');
      probe.SetCaption(text);
      if (probe.Width() == width)
        return text;
    }
  }
  return std::u16string();
}

TEST_F(MessageDialogTest, AShortMessageIs280WideCentredOnTheMainFormWithOkAtTheRight) {
  TTestForm main(600, 400);
  main.SetBounds(100, 50, 600, 400);
  TSeen seen;
  TOnModal closer([&](TForm& dialog) {
    seen = Look(dialog);
    ForceDirectories("screens");
    SaveScreenshot(dialog, "screens\\message_dialog.png");
    Click(dynamic_cast<TVoMessageForm&>(dialog).btnOK);
  });
  EXPECT_TRUE(ShowMessageDialog(u"$(error_title)", u"$(installpath_error)"));
  ASSERT_TRUE(closer.Done());

  EXPECT_EQ(seen.Caption, u"Foutmelding!");
  EXPECT_EQ(seen.Bounds.Width(), 280);
  // Centred with integer halves: the main form's centre is (400, 250).
  EXPECT_EQ(seen.Bounds.Left, 400 - 140);
  EXPECT_EQ(seen.Bounds.Top, 250 - seen.Bounds.Height() / 2);
  EXPECT_EQ(seen.LabelLeft, 8);
  EXPECT_EQ(seen.LabelTop, 8);
  EXPECT_LT(seen.LabelWidth, 260);
  EXPECT_GT(seen.LabelWidth, 100); // the translated text, measured
  EXPECT_TRUE(seen.ButtonVisible);
  EXPECT_FALSE(seen.CancelVisible);
  EXPECT_EQ(seen.BarWidth - seen.ButtonRight, 8);
}

TEST_F(MessageDialogTest, AMessage300WideMakesTheDialog320WideOnTheScreensCentre) {
  std::u16string text = TextOfWidth(300);
  ASSERT_FALSE(text.empty());
  ASSERT_EQ(Application().MainForm(), nullptr);
  TSeen seen;
  TOnModal closer([&](TForm& dialog) {
    seen = Look(dialog);
    PressKey(VK_RETURN); // the default button
  });
  EXPECT_TRUE(ShowMessageDialog(u"Title", text));
  ASSERT_TRUE(closer.Done());
  EXPECT_EQ(seen.LabelWidth, 300);
  EXPECT_EQ(seen.Bounds.Width(), 320);
  EXPECT_EQ(seen.BarWidth - seen.ButtonRight, 8);
  EXPECT_EQ(seen.Bounds.Left, GetSystemMetrics(SM_CXSCREEN) / 2 - 160);
  EXPECT_EQ(seen.Bounds.Top, GetSystemMetrics(SM_CYSCREEN) / 2 - seen.Bounds.Height() / 2);

  // Just below the bound the dialog keeps its 280.
  std::u16string narrower = TextOfWidth(259);
  ASSERT_FALSE(narrower.empty());
  TOnModal closer2([&](TForm& dialog) {
    seen = Look(dialog);
    Click(dynamic_cast<TVoMessageForm&>(dialog).btnOK);
  });
  EXPECT_TRUE(ShowMessageDialog(u"Title", narrower));
  EXPECT_EQ(seen.Bounds.Width(), 280);
}

TEST_F(MessageDialogTest, ClosingByTheFramesCloseButtonGivesFalse) {
  TOnModal closer([&](TForm& form) {
    // The close button stands 21 pixels from the right edge, 3 from the top,
    // 18 x 18: pressed and released there with the real pointer.
    TRect r = form.BoundsRect();
    MovePointerTo({r.Right - 21 + 9, r.Top + 3 + 9});
    PointerButton(mbLeft, true);
    PointerButton(mbLeft, false);
  });
  EXPECT_FALSE(ShowMessageDialog(u"Title", u"Text"));
  ASSERT_TRUE(closer.Done());
  MovePointerTo({1200, 1000});
}

} // namespace
