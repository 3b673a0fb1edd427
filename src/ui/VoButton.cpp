#include "ui/VoButton.h"

int TVoButtonState::Frame() const {
  if (!Enabled)
    return VoButtonFrameDisabled;
  if (Down)
    return VoButtonFrameDown;
  if (Pressed)
    return VoButtonFramePressed;
  if (Hot)
    return VoButtonFrameHot;
  return VoButtonFrameNormal;
}

TSize VoButtonSize(TSize requested, TSize png5) {
  if (png5.Width <= 0 || png5.Height <= 0)
    return requested;
  return {png5.Width / VoButtonFrameCount, png5.Height};
}

TColor VoButtonTextColor(int frame) {
  switch (frame) {
  case VoButtonFrameDisabled: return 0xEADBCC;
  case VoButtonFramePressed: return 0xD5B799;
  default: return 0x954A00;
  }
}

TRect VoButtonTextRect(TVoButtonTextPosition position, int frame, TSize size) {
  const int left = frame * size.Width;
  const int right = left + size.Width;
  if (position == tbpLeft)
    return {left + 24, 3, right - 2, size.Height};
  return {left + 6, 3, right - 20, size.Height};
}

TRect VoButtonFrameSource(int frame, TSize size) {
  return {frame * size.Width, 0, (frame + 1) * size.Width, size.Height};
}

std::array<TVoIconCopy, VoButtonFrameCount> VoButtonIconCopies(TSize control, TSize png2,
                                                               int frameWidth) {
  const int half = png2.Width / 2;
  const TRect left{0, 0, half, png2.Height};
  const TRect right{half, 0, 2 * half, png2.Height};
  const int x0 = (control.Width - half) / 2;
  const int y0 = (control.Height - png2.Height) / 2;
  std::array<TVoIconCopy, VoButtonFrameCount> copies;
  for (int i = 0; i < VoButtonFrameCount; ++i)
    copies[i] = {i == VoButtonFrameDisabled ? right : left, {i * frameWidth + x0, y0}};
  return copies;
}
