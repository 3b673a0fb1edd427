#include "ui/CustomComboBox_win.h"

#include "ui/testing/KaUiTesting_win.h"

#include <gtest/gtest.h>

TEST(CustomComboBox, KeepsItsItemsAndSelectionAcrossItsWindow) {
  TTestForm form;
  TCustomComboBox box(&form);
  box.SetStyle(csDropDownList);
  box.SetBounds(10, 10, 124, 21);
  box.AddItem(u"Nederlands");
  box.AddItem(u"English");
  box.SetItemIndex(1);
  EXPECT_EQ(box.ItemIndex(), 1);
  box.HandleNeeded();
  EXPECT_EQ(box.ItemIndex(), 1);
  EXPECT_EQ(box.Text(), u"English");
  EXPECT_EQ(SendMessageW(box.Handle(), CB_GETCOUNT, 0, 0), 2);
  // The closed box is the height asked for; the window leaves room for the
  // list.
  EXPECT_EQ(box.Height(), 21);

  box.SetItem(0, u"Dutch");
  EXPECT_EQ(box.ItemIndex(), 1);
  box.DeleteItem(0);
  EXPECT_EQ(box.Items(), (std::vector<std::u16string>{u"English"}));
  box.SetItemIndex(5);
  EXPECT_EQ(box.ItemIndex(), -1);
  box.ClearItems();
  EXPECT_EQ(SendMessageW(box.Handle(), CB_GETCOUNT, 0, 0), 0);
}

TEST(CustomComboBox, TheUsersChoiceFiresOnChangeAndFocusIsReported) {
  TTestForm form;
  TCustomComboBox box(&form);
  box.SetStyle(csDropDownList);
  box.AddItem(u"Nederlands");
  box.AddItem(u"English");
  box.SetItemIndex(0);
  int changes = 0, enters = 0;
  box.OnChange = [&](TComponent&) { ++changes; };
  box.OnEnter = [&](TComponent&) { ++enters; };
  form.HandleNeeded();
  box.SetFocus();
  PumpMessages();
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(form.ActiveControl(), &box);
  PressKey(VK_DOWN);
  EXPECT_EQ(box.ItemIndex(), 1);
  EXPECT_EQ(changes, 1);
}
