#include "ui/VoComboBox_win.h"

#include "base/KaHandle_win.h"
#include "base/KaText.h"
#include "ui/Font_win.h"
#include "ui/KaDrawing_win.h"

#include <algorithm>

namespace {

// The system places the box's text area and button inside a sunken edge of
// two pixels and an inner padding of one on every side; it takes the field
// height it is given as the height of the text area.
constexpr int FieldFrame = 6;

} // namespace

TVoCustomComboBox::TVoCustomComboBox(TWinControl* parent)
    : TVoLayoutReported<TCustomComboBox>(parent) {
  SetColor(CurrentTheme()->WindowColor());
}

void TVoCustomComboBox::SetRequired(bool value) {
  if (value == FRequired)
    return;
  FRequired = value;
  PaintFrame();
}

void TVoCustomComboBox::HandleCreated() {
  TCustomComboBox::HandleCreated();
  ApplyHeight();
}

void TVoCustomComboBox::BoundsChanged(const TRect& old) {
  TVoLayoutReported<TCustomComboBox>::BoundsChanged(old);
  if (old.Height() != Height())
    ApplyHeight();
}

void TVoCustomComboBox::ApplyHeight() {
  // The system sizes a closed box by its font; the bounds decide here.
  if (!HandleAllocated() || Style() == csSimple)
    return;
  SendMessageW(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
               std::max(Height() - FieldFrame, 1));
}

void TVoCustomComboBox::WndProc(TMessage& m) {
  switch (m.Msg) {
  case WM_NCCALCSIZE:
    DefaultHandler(m);
    if (Style() != csDropDownList)
      InsetProposedClient(m.LParam, 1);
    return;
  case WM_NCPAINT:
    DefaultHandler(m);
    PaintFrame();
    return;
  case WM_PAINT: {
    if (m.WParam) {
      // Painting into a given device context (printing): as the system does.
      DefaultHandler(m);
      return;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    struct TEndPaint {
      HWND Window;
      PAINTSTRUCT* Paint;
      ~TEndPaint() { EndPaint(Window, Paint); }
    } end{Handle(), &ps};
    if (Style() != csSimple) {
      // The system's own button is never seen: its area is left to ours.
      const TRect x = VoComboButtonShape(WindowSize(Handle()), Style() == csDropDownList).Excluded;
      ExcludeClipRect(dc, x.Left, x.Top, x.Right, x.Bottom);
    }
    TMessage paint{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
    DefaultHandler(paint);
    PaintFrame();
    return;
  }
  default: TCustomComboBox::WndProc(m);
  }
}

void TVoCustomComboBox::PaintFrame() {
  if (!HandleAllocated())
    return;
  // The closed box's window: as high as the field, not the list.
  PaintOnWindow(Handle(), [this](HDC dc, TSize size) {
    const TColor fill = Enabled() ? Color() : CurrentTheme()->DisabledColor();
    DrawFieldFrame(dc, {0, 0, size.Width, size.Height}, Enabled(), FRequired, fill, 2);
    if (Style() != csSimple)
      PaintButton(dc, VoComboButtonShape(size, Style() == csDropDownList));
  });
}

void TVoCustomComboBox::PaintButton(HDC dc, const TVoComboButtonShape& s) {
  IThemePtr theme = CurrentTheme();
  RECT face{s.Face.Left, s.Face.Top, s.Face.Right, s.Face.Bottom};
  FillRect(dc, &face, SolidBrush(theme->BorderLightColor()));
  for (const TVoLine& line : s.Gap)
    DrawPolyline(dc, Color(), {line.From, line.To});
  const TColor arrow = Enabled() ? 0x000000 : theme->BorderDarkColor();
  TScopedPen pen(CreatePen(PS_SOLID, 1, ColorRef(arrow)));
  HGDIOBJ oldPen = SelectObject(dc, pen.Get());
  HGDIOBJ oldBrush = SelectObject(dc, SolidBrush(arrow));
  POINT points[3];
  for (int i = 0; i < 3; ++i)
    points[i] = {s.Arrow[i].X, s.Arrow[i].Y};
  Polygon(dc, points, 3);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
}

void TVoCustomComboBox::DoEnter() {
  SetColor(CurrentTheme()->FocusColor());
  PaintFrame();
  TCustomComboBox::DoEnter();
}

void TVoCustomComboBox::DoExit() {
  SetColor(CurrentTheme()->WindowColor());
  PaintFrame();
  TCustomComboBox::DoExit();
}

void TVoCustomComboBox::EnabledChanged() {
  TVoLayoutReported<TCustomComboBox>::EnabledChanged();
  IThemePtr theme = CurrentTheme();
  SetColor(Enabled() ? theme->WindowColor() : theme->DisabledColor());
  PaintFrame();
}

void TVoCustomComboBox::InsertItem(int index, const std::u16string& text) {
  TCustomComboBox::InsertItem(index, text);
  FObjects.insert(FObjects.begin() + index, nullptr);
}

void TVoCustomComboBox::DeleteItem(int index) {
  TCustomComboBox::DeleteItem(index);
  FObjects.erase(FObjects.begin() + index);
}

void TVoCustomComboBox::ClearItems() {
  TCustomComboBox::ClearItems();
  FObjects.clear();
}

IVoItemPtr TVoCustomComboBox::ItemObject(int index) const { return FObjects.at(index); }

int TVoCustomComboBox::IndexOfObject(const IVoItemPtr& object) const {
  auto it = std::find(FObjects.begin(), FObjects.end(), object);
  return object && it != FObjects.end() ? static_cast<int>(it - FObjects.begin()) : -1;
}

std::u16string TVoCustomComboBox::TextOf(const IVoItemPtr& object) {
  if (auto t = std::dynamic_pointer_cast<IVoItemText>(object))
    return t->GetItemText();
  if (auto t = std::dynamic_pointer_cast<IVoItemAnsiText>(object))
    return ToWide(t->GetItemText());
  std::u16string text;
  Fire(OnGetText, *this, object, text);
  return text;
}

void TVoCustomComboBox::ItemsChanged(TVoItemChange change, const IVoItemPtr& object) {
  switch (change) {
  case icAdded: {
    const int index = AddItem(TextOf(object));
    FObjects[index] = object;
    return;
  }
  case icRemoved:
    if (int index = IndexOfObject(object); index >= 0)
      DeleteItem(index);
    return;
  case icChanged:
    if (int index = IndexOfObject(object); index >= 0) {
      SetItem(index, TextOf(object));
      SetItemIndex(index);
    }
    return;
  }
}
