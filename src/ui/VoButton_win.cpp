#include "ui/VoButton_win.h"

#include "ui/Font_win.h"
#include "ui/Form_win.h"
#include "ui/KaAccelChar.h"
#include "ui/PngResource_win.h"

#include <algorithm>

namespace {

// A decoded pixel (0xAARRGGBB, premultiplied) as a theme colour; opaque
// pixels keep their colour exactly.
TColor PixelColor(uint32_t argb) {
  return ((argb & 0xFF) << 16) | (argb & 0xFF00) | ((argb >> 16) & 0xFF);
}

// `source` over `dest`, both premultiplied.
uint32_t Over(uint32_t source, uint32_t dest) {
  const uint32_t rest = 255 - (source >> 24);
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t s = (source >> shift) & 0xFF;
    const uint32_t d = (dest >> shift) & 0xFF;
    out |= std::min<uint32_t>(255, s + (d * rest + 127) / 255) << shift;
  }
  return out;
}

} // namespace

TVoButton::TVoButton(TWinControl* parent)
    : TKaCustomControl(parent), TAttachedPlacement(*this, TAttachedKind::Button) {
  // OnClick fires on the release, inside or not (MouseUp).
  ClicksOnMouseUp = false;
  // The face's transparent corners show the page beneath.
  SetParentBackground(true);
  SetBounds(0, 0, 94, 20);
}

void TVoButton::SetDefault(bool value) {
  FDefault = value;
  TForm* form = ParentForm();
  FocusChanged(form ? form->ActiveControl() : nullptr);
}

void TVoButton::SetDown(bool value) {
  if (value == FState.Down)
    return;
  FState.Down = value;
  ChooseFrame();
}

void TVoButton::SetCaption(const std::u16string& caption) {
  if (caption == FCaption)
    return;
  FCaption = caption;
  DrawBuffer(Width(), Height());
}

void TVoButton::SetPNG5(const TPngImage& image) {
  FPNG5 = image;
  ImageChanged();
}

void TVoButton::LoadPNG5(const char* resource) { SetPNG5(LoadPngResource(resource)); }

void TVoButton::SetPNG2(const TPngImage& image) {
  FPNG2 = image;
  ImageChanged();
}

void TVoButton::SetPNG2_bgcolor(TColor color) {
  if (color == FPNG2BgColor)
    return;
  FPNG2BgColor = color;
  ImageChanged();
}

void TVoButton::SetPNG2_bgauto(bool value) {
  if (value == FPNG2BgAuto)
    return;
  FPNG2BgAuto = value;
  if (value && !FPNG2.Empty())
    SetPNG2_bgcolor(PixelColor(FPNG2.Pixel(0, FPNG2.Height() - 1)));
}

void TVoButton::SetPosition(TVoButtonTextPosition position) {
  if (position == FPosition)
    return;
  FPosition = position;
  DrawBuffer(Width(), Height());
}

void TVoButton::SetShowBorder(bool value) {
  if (value == FShowBorder)
    return;
  FShowBorder = value;
  DrawBuffer(Width(), Height());
}

void TVoButton::ImageChanged() {
  SetBounds(Left(), Top(), Width(), Height());
  DrawBuffer(Width(), Height());
}

void TVoButton::SetBounds(int left, int top, int width, int height) {
  const TSize size = VoButtonSize({width, height}, {FPNG5.Width(), FPNG5.Height()});
  TKaCustomControl::SetBounds(left, top, size.Width, size.Height);
}

void TVoButton::ChooseFrame() {
  FFrame = FState.Frame();
  DrawBuffer(Width(), Height());
}

void TVoButton::DrawBuffer(int width, int height) {
  const TSize size{width, height};
  if (!FPNG5.Empty()) {
    Buffer() = TBitmap::FromPng(FPNG5);
  } else {
    // No face yet: a plain one in the control's colour, so the caption
    // still shows.
    Buffer().SetSize(width * VoButtonFrameCount, height);
    if (!Buffer().Empty())
      Buffer().Fill(Color());
  }
  if (!Buffer().Empty()) {
    DrawIcon();
    DrawCaption(size);
    // GDI may clear the alpha of what it draws; the face's own alpha
    // (opaque under the caption) is what the frame is blended with.
    GdiFlush();
    uint32_t* bits = Buffer().Bits();
    const size_t n = static_cast<size_t>(Buffer().Width()) * Buffer().Height();
    for (size_t i = 0; i < n; ++i) {
      const uint32_t alpha = FPNG5.Empty() ? 0xFF000000u : FPNG5.Pixels()[i] & 0xFF000000u;
      bits[i] = (bits[i] & 0x00FFFFFF) | alpha;
    }
  }
  TKaCustomControl::DrawBuffer(width, height);
}

void TVoButton::DrawIcon() {
  if (FPNG2.Empty())
    return;
  GdiFlush();
  TBitmap& buffer = Buffer();
  uint32_t* bits = buffer.Bits();
  const TSize frame{Width(), Height()};
  const int frameWidth = FPNG5.Empty() ? Width() : FPNG5.Width() / VoButtonFrameCount;
  for (const TVoIconCopy& copy :
       VoButtonIconCopies(frame, {FPNG2.Width(), FPNG2.Height()}, frameWidth)) {
    for (int y = 0; y < copy.Source.Height(); ++y) {
      for (int x = 0; x < copy.Source.Width(); ++x) {
        const int tx = copy.Target.X + x;
        const int ty = copy.Target.Y + y;
        if (tx < 0 || ty < 0 || tx >= buffer.Width() || ty >= buffer.Height())
          continue;
        const uint32_t source = FPNG2.Pixel(copy.Source.Left + x, copy.Source.Top + y);
        if (PixelColor(source) == FPNG2BgColor)
          continue;
        uint32_t& dest = bits[static_cast<size_t>(ty) * buffer.Width() + tx];
        dest = Over(source, dest);
      }
    }
  }
}

void TVoButton::DrawCaption(TSize size) {
  const std::u16string text = Translate(FCaption);
  if (text.empty())
    return;
  HDC dc = Buffer().DC();
  const int saved = SaveDC(dc);
  SelectObject(dc, FontHandle(Font()));
  SetBkMode(dc, TRANSPARENT);
  for (int frame = 0; frame < VoButtonFrameCount; ++frame) {
    SetTextColor(dc, ColorRef(VoButtonTextColor(frame)));
    const TRect t = VoButtonTextRect(FPosition, frame, size);
    RECT r{t.Left, t.Top, t.Right, t.Bottom};
    DrawTextW(dc, reinterpret_cast<const wchar_t*>(text.c_str()), static_cast<int>(text.size()), &r,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_END_ELLIPSIS);
  }
  RestoreDC(dc, saved);
}

void TVoButton::Paint(HDC dc) {
  Buffer().AlphaDraw(dc, 0, 0, VoButtonFrameSource(FFrame, {Width(), Height()}));
}

void TVoButton::HandleCreated() {
  TKaCustomControl::HandleCreated();
  FDefaultActive = FDefault;
}

void TVoButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft || button == mbRight) {
    FState.Pressed = true;
    ChooseFrame();
  }
  if (button == mbRight)
    Fire(OnRightClick, *this);
  TKaCustomControl::MouseDown(button, shift, x, y);
}

void TVoButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft || button == mbRight) {
    FState.Pressed = false;
    ChooseFrame();
  }
  if (button == mbLeft && CanFocus())
    Click();
  TKaCustomControl::MouseUp(button, shift, x, y);
}

void TVoButton::MouseEnter() {
  FState.Hot = true;
  ChooseFrame();
  TKaCustomControl::MouseEnter();
}

void TVoButton::MouseLeave() {
  FState.Hot = false;
  ChooseFrame();
  TKaCustomControl::MouseLeave();
}

void TVoButton::EnabledChanged() {
  TKaCustomControl::EnabledChanged();
  FState.Enabled = Enabled();
  ChooseFrame();
}

void TVoButton::FontChanged() {
  TKaCustomControl::FontChanged();
  DrawBuffer(Width(), Height());
}

void TVoButton::LanguageChanged() {
  TKaCustomControl::LanguageChanged();
  DrawBuffer(Width(), Height());
}

bool TVoButton::DialogKey(WORD key, TShiftState shift) {
  if (shift & (ssShift | ssCtrl | ssAlt))
    return false;
  const bool clicks = (key == VK_RETURN && FDefaultActive) || (key == VK_ESCAPE && FCancel);
  if (!clicks || !CanFocus())
    return false;
  Click();
  return true;
}

bool TVoButton::DialogChar(char16_t ch) {
  if (!IsAccel(ch, Translate(FCaption)) || !CanFocus())
    return false;
  Click();
  return true;
}

void TVoButton::FocusChanged(TWinControl* focused) {
  FDefaultActive = dynamic_cast<TVoButton*>(focused) ? focused == this : FDefault;
}
