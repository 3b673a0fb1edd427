#pragma once

#include "ui/VoGeometry.h"

#include <array>
#include <memory>
#include <string>

// TVoComboBox, portable part: where the flat drop-down button sits and what
// it is drawn from. The combo box window is the Windows twin
// (VoComboBox_win.h / VoComboBox_win.cpp); it paints these shapes on its
// window device context in the theme's colours and the control colour.
//
// All coordinates are window coordinates from (0, 0), except Excluded,
// which is in client coordinates. The client area is the window shrunk by
// one pixel on every side, except for the drop-down list style whose client
// area is the whole window; either way the button is 17 pixels wide.

struct TVoComboButtonShape {
  TRect Button;
  // Filled with BorderLightColor.
  TRect Face;
  // Three vertical lines in the control colour that separate the button
  // from the text, from x = Button.Left leftwards.
  std::array<TVoLine, 3> Gap;
  // The arrow: a filled triangle pointing down, black when enabled,
  // BorderDarkColor when not.
  std::array<TPoint, 3> Arrow;
  // The rightmost 15 client pixels, kept out of the platform's painting.
  TRect Excluded;
};

// window: the combo box's size; dropDownList: the csDropDownList style.
// Not for csSimple, which has no button.
TVoComboButtonShape VoComboButtonShape(TSize window, bool dropDownList);

// Objects a combo box lists beside its texts (TVoComboBox's item objects).
// An object names its own text when it offers one of the two text
// interfaces; otherwise the combo box asks its OnGetText.
class IVoItem {
public:
  virtual ~IVoItem() = default;
};
using IVoItemPtr = std::shared_ptr<IVoItem>;

class IVoItemText {
public:
  virtual ~IVoItemText() = default;
  virtual std::u16string GetItemText() const = 0;
};

// 8-bit, in the system code page.
class IVoItemAnsiText {
public:
  virtual ~IVoItemAnsiText() = default;
  virtual std::string GetItemText() const = 0;
};

// What happened to an object of the list that a combo box follows; other
// kinds of change leave the box as it is.
enum TVoItemChange { icAdded = 0, icRemoved = 1, icChanged = 3 };
