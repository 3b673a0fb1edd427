#pragma once

// The wide-text combo box (Windows only) over the system's COMBOBOX: a list
// of texts, the selected index, and an edit field for the styles that have
// one. Height is the height of the closed box; the drop-down list shows up
// to DropDownCount items below it.
//
// The system sends its notifications (CBN_*) and colour requests to the
// parent; they arrive in Reflected. The box's own focus is reported with
// CBN_SETFOCUS and CBN_KILLFOCUS, which end in DoEnter and DoExit.

#include "ui/WinControl_win.h"

#include <string>
#include <vector>

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };

class TCustomComboBox : public TWinControl {
public:
  explicit TCustomComboBox(TWinControl* parent);

  TComboBoxStyle Style() const { return FStyle; }
  // Takes effect when the window is made (or made anew).
  void SetStyle(TComboBoxStyle style) { FStyle = style; }
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int count);

  const std::vector<std::u16string>& Items() const { return FItems; }
  int AddItem(const std::u16string& text);
  // Every addition, removal and clearing of items passes these three, so a
  // descendant can keep data of its own beside the items.
  virtual void InsertItem(int index, const std::u16string& text);
  virtual void DeleteItem(int index);
  void SetItem(int index, const std::u16string& text);
  virtual void ClearItems();

  // -1: nothing selected.
  int ItemIndex() const;
  void SetItemIndex(int index);

  bool DroppedDown();

  // The selection changed by the user, or the text of the edit field.
  TNotifyEvent OnChange;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  void WndProc(TMessage& message) override;
  bool Reflected(TMessage& message) override;
  TRect WindowRectFor(const TRect& b) const override;
  virtual void Change();

private:
  TComboBoxStyle FStyle = csDropDown;
  int FDropDownCount = 8;
  int FItemIndex = -1; // kept while there is no window
  std::vector<std::u16string> FItems;
};
