#include "ui/VoComboBox_win.h"

#include "ui/VoEdit_win.h"
#include "ui/testing/KaLayoutRecorder.h"
#include "ui/testing/KaTestTheme.h"
#include "ui/testing/KaUiTesting_win.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const TDistinctTheme Theme;

// The wizard's language box: a drop-down list of 124 x 21 on a test form in
// the distinct theme, and an edit to take the focus away.
class VoComboBoxTest : public ::testing::Test {
protected:
  TThemeScope Scope{std::make_shared<TDistinctTheme>()};
  TTestForm Form;
  TVoComboBox Box{&Form};
  TVoEdit Other{&Form};

  void SetUp() override {
    Box.SetStyle(csDropDownList);
    Box.SetBounds(10, 10, 124, 21);
    Box.AddItem(u"Nederlands");
    Box.AddItem(u"English");
    Other.SetBounds(10, 60, 120, 21);
    Form.HandleNeeded();
    PumpMessages();
  }

  // Frame, rings, the empty end of the text area (the system highlights it
  // while the box has the focus), and the flat button: its face, the three
  // separating lines and the arrow's tip.
  void ExpectBox(const TBitmap& b, bool enabled, TColor field, bool highlighted = false) {
    ASSERT_EQ(b.Width(), 124);
    ASSERT_EQ(b.Height(), 21);
    EXPECT_EQ(b.Pixel(0, 10), enabled ? Theme.BorderDarkColor() : Theme.BorderLightColor());
    EXPECT_EQ(b.Pixel(60, 0), enabled ? Theme.BorderDarkColor() : Theme.BorderLightColor());
    EXPECT_EQ(b.Pixel(123, 10), Theme.BorderLightColor());
    EXPECT_EQ(b.Pixel(60, 20), Theme.BorderLightColor());
    for (int i = 1; i <= 2; ++i) {
      EXPECT_EQ(b.Pixel(i, 10), field) << "ring " << i;
      EXPECT_EQ(b.Pixel(60, i), field) << "ring " << i;
      EXPECT_EQ(b.Pixel(60, 20 - i), field) << "ring " << i;
    }
    if (!highlighted) {
      EXPECT_EQ(b.Pixel(100, 10), field);
    }
    for (int x = 104; x <= 106; ++x)
      EXPECT_EQ(b.Pixel(x, 10), Box.Color()) << x;
    EXPECT_EQ(b.Pixel(108, 4), Theme.BorderLightColor());
    EXPECT_EQ(b.Pixel(121, 17), Theme.BorderLightColor());
    const TColor arrow = enabled ? 0x000000 : Theme.BorderDarkColor();
    EXPECT_EQ(b.Pixel(112, 9), arrow);
    EXPECT_EQ(b.Pixel(114, 10), arrow);
    EXPECT_EQ(b.Pixel(114, 11), arrow);
    EXPECT_EQ(b.Pixel(114, 13), Theme.BorderLightColor());
  }
};

class TNamed : public IVoItem, public IVoItemText {
public:
  explicit TNamed(std::u16string name) : Name(std::move(name)) {}
  std::u16string GetItemText() const override { return Name; }
  std::u16string Name;
};

class TAnsiNamed : public IVoItem, public IVoItemAnsiText {
public:
  std::string GetItemText() const override { return "ansi"; }
};

class TNameless : public IVoItem {};

} // namespace

TEST_F(VoComboBoxTest, AFlatFrameAndButtonInEveryState) {
  ExpectBox(CaptureWindow(Box), true, Theme.WindowColor());

  Box.SetFocus();
  PumpMessages();
  EXPECT_EQ(Box.Color(), Theme.FocusColor());
  ExpectBox(CaptureWindow(Box), true, Theme.FocusColor(), true);

  Other.SetFocus();
  PumpMessages();
  EXPECT_EQ(Box.Color(), Theme.WindowColor());
  Box.SetEnabled(false);
  EXPECT_EQ(Box.Color(), Theme.DisabledColor());
  ExpectBox(CaptureWindow(Box), false, Theme.DisabledColor());

  Box.SetEnabled(true);
  Box.SetRequired(true);
  TBitmap b = CaptureWindow(Box);
  EXPECT_EQ(b.Pixel(0, 10), Theme.ErrorDarkColor());
  EXPECT_EQ(b.Pixel(123, 10), Theme.ErrorLightColor());
}

TEST_F(VoComboBoxTest, TheBoxIsAsHighAsItsBoundsSay) {
  Box.SetHeight(25);
  PumpMessages();
  RECT r;
  GetWindowRect(Box.Handle(), &r);
  EXPECT_EQ(r.bottom - r.top, 25);
  EXPECT_EQ(Box.Height(), 25);

  // A drop-down box keeps a one-pixel border outside its client area.
  TVoComboBox editable(&Form);
  editable.SetBounds(10, 100, 150, 21);
  editable.HandleNeeded();
  PumpMessages();
  GetWindowRect(editable.Handle(), &r);
  EXPECT_EQ(r.bottom - r.top, 21);
  RECT client;
  GetClientRect(editable.Handle(), &client);
  EXPECT_EQ(client.right, 148);
  EXPECT_EQ(client.bottom, 19);
  GetClientRect(Box.Handle(), &client);
  EXPECT_EQ(client.right, 124);
}

TEST_F(VoComboBoxTest, TheEditFieldsFocusColoursTheWholeBox) {
  TVoComboBox editable(&Form);
  editable.SetBounds(10, 100, 150, 21);
  editable.HandleNeeded();
  PumpMessages();
  HWND field = FindWindowExW(editable.Handle(), nullptr, L"Edit", nullptr);
  ASSERT_NE(field, nullptr);
  SetFocus(field);
  PumpMessages();
  EXPECT_EQ(editable.Color(), Theme.FocusColor());
  EXPECT_EQ(CaptureWindow(editable).Pixel(2, 10), Theme.FocusColor());
  Other.SetFocus();
  PumpMessages();
  EXPECT_EQ(editable.Color(), Theme.WindowColor());
}

TEST_F(VoComboBoxTest, TheUsersChoiceFiresOnChange) {
  int changes = 0;
  Box.OnChange = [&](TComponent&) { ++changes; };
  Box.SetItemIndex(0);
  EXPECT_EQ(changes, 0);
  Box.SetFocus();
  PressKey(VK_DOWN);
  EXPECT_EQ(Box.ItemIndex(), 1);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(Box.Text(), u"English");
  PressKey(VK_UP);
  EXPECT_EQ(Box.ItemIndex(), 0);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(Box.Text(), u"Nederlands");
}

TEST_F(VoComboBoxTest, ItemObjectsKeepTheirEntriesInStep) {
  Box.ClearItems();
  auto nl = std::make_shared<TNamed>(u"Nederlands");
  auto en = std::make_shared<TNamed>(u"English");
  auto ansi = std::make_shared<TAnsiNamed>();
  auto nameless = std::make_shared<TNameless>();
  int asked = 0;
  Box.OnGetText = [&](TComponent&, const IVoItemPtr& target, std::u16string& text) {
    ++asked;
    EXPECT_EQ(target, nameless);
    EXPECT_EQ(text, u"");
    text = u"Deutsch";
  };
  Box.ItemsChanged(icAdded, nl);
  Box.AddItem(u"plain");
  Box.ItemsChanged(icAdded, en);
  Box.ItemsChanged(icAdded, ansi);
  Box.ItemsChanged(icAdded, nameless);
  EXPECT_EQ(Box.Items(), (std::vector<std::u16string>{u"Nederlands", u"plain", u"English", u"ansi",
                                                      u"Deutsch"}));
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(Box.ItemObject(1), nullptr);
  EXPECT_EQ(Box.ItemObject(2), en);

  Box.ItemsChanged(icRemoved, nl);
  EXPECT_EQ(Box.Items(), (std::vector<std::u16string>{u"plain", u"English", u"ansi", u"Deutsch"}));
  EXPECT_EQ(Box.ItemObject(1), en);
  EXPECT_EQ(Box.ItemObject(3), nameless);
  Box.DeleteItem(0);
  EXPECT_EQ(Box.ItemObject(0), en);

  en->Name = u"Engels";
  Box.ItemsChanged(icChanged, en);
  EXPECT_EQ(Box.Items()[0], u"Engels");
  EXPECT_EQ(Box.ItemIndex(), 0);
  EXPECT_EQ(SendMessageW(Box.Handle(), CB_GETCOUNT, 0, 0), 3);

  // Objects that are not listed, and other kinds of change, leave it alone.
  Box.ItemsChanged(icRemoved, nl);
  Box.ItemsChanged(icChanged, nl);
  Box.ItemsChanged(static_cast<TVoItemChange>(2), en);
  EXPECT_EQ(Box.Items().size(), 3u);
  Box.ClearItems();
  Box.ItemsChanged(icChanged, en);
  EXPECT_TRUE(Box.Items().empty());
}

TEST_F(VoComboBoxTest, MovesAndEnabledChangesAreReported) {
  TLayoutRecorder layout;
  Box.SetBounds(144, 176, 124, 21);
  Box.SetEnabled(false);
  EXPECT_EQ(layout.Count("moved", &Box), 1);
  EXPECT_EQ(layout.Calls.front().Bounds, Bounds(144, 176, 124, 21));
  EXPECT_EQ(layout.Count("enabled", &Box), 1);
}
