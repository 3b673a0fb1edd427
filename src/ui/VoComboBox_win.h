#pragma once

// TVoComboBox (Windows only): the flat combo box of the wizard (its language
// list is a csDropDownList) over the system's COMBOBOX.
//
// The box is exactly as high as its bounds say, whatever the font. The
// control paints its own frame over the system's: the theme's two-tone
// frame (red with Required set) and two rings in the fill colour, and a flat
// drop-down button with a small arrow (ui/VoComboBox.h has the shapes). The
// colour follows the state: FocusColor while the box or its edit field has
// the focus, DisabledColor while it is disabled, WindowColor otherwise.
//
// Beside Items it keeps a list of item objects: ItemsChanged adds, removes
// and renames entries for objects of a list that the program follows, taking
// each object's text from the object itself (IVoItemText, IVoItemAnsiText)
// or from OnGetText. Items added as plain texts have no object.
//
// Moves and enabled changes are reported to the layout manager; the box is
// a layout client too, one that follows nothing.

#include "ui/CustomComboBox_win.h"
#include "ui/KaScopedRegistration.h"
#include "ui/VoComboBox.h"
#include "ui/VoLayoutReport_win.h"

#include <functional>
#include <string>
#include <vector>

// Asked for the text of an item object that names none itself; `text`
// comes in empty.
using TVoOnGetText =
    std::function<void(TComponent& sender, const IVoItemPtr& target, std::u16string& text)>;

class TVoCustomComboBox : public TVoLayoutReported<TCustomComboBox>, public ILayoutClient {
public:
  explicit TVoCustomComboBox(TWinControl* parent);

  // icAdded: appends the object and its text; icRemoved: deletes the
  // object's entry; icChanged: gives its entry the object's text anew and
  // selects it. Objects that are not listed are ignored.
  void ItemsChanged(TVoItemChange change, const IVoItemPtr& object);
  // The object of an item; none for an item added as a plain text.
  IVoItemPtr ItemObject(int index) const;

  void InsertItem(int index, const std::u16string& text) override;
  void DeleteItem(int index) override;
  void ClearItems() override;

  void Reposition(ILayoutControl*) override {}
  void FollowEnabled(ILayoutControl*) override {}
  void ControlDestroyed(ILayoutControl*) override {}

protected:
  bool Required() const { return FRequired; }
  void SetRequired(bool value);
  TVoOnGetText OnGetText;

  void WndProc(TMessage& message) override;
  void HandleCreated() override;
  void BoundsChanged(const TRect& old) override;
  void DoEnter() override;
  void DoExit() override;
  void EnabledChanged() override;

  // The frame, the rings and the button, on the window's device context.
  void PaintFrame();

private:
  void PaintButton(HDC dc, const TVoComboButtonShape& shape);
  void ApplyHeight();
  std::u16string TextOf(const IVoItemPtr& object);
  int IndexOfObject(const IVoItemPtr& object) const;

  bool FRequired = false;
  std::vector<IVoItemPtr> FObjects;
  TScopedRegistration<ILayoutManager, ILayoutClient> FLayout{this, LayoutManager()};
};

class TVoComboBox : public TVoCustomComboBox {
public:
  using TVoCustomComboBox::OnGetText;
  using TVoCustomComboBox::Required;
  using TVoCustomComboBox::SetRequired;
  using TVoCustomComboBox::TVoCustomComboBox;
};
