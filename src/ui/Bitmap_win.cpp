#include "ui/Bitmap_win.h"

#include <cstring>

void TBitmap::SetSize(int width, int height) {
  FDC.Reset();
  FBitmap.Reset();
  FBits = nullptr;
  FWidth = FHeight = 0;
  if (width <= 0 || height <= 0)
    return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height; // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  TScopedBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  TScopedMemoryDC dc(CreateCompatibleDC(nullptr));
  if (!bitmap || !dc)
    throw EOutOfResources("Out of system resources");
  SelectObject(dc.Get(), bitmap.Get());
  FBitmap = std::move(bitmap);
  FDC = std::move(dc);
  FBits = static_cast<uint32_t*>(bits);
  FWidth = width;
  FHeight = height;
}

TBitmap TBitmap::FromPng(const TPngImage& image) {
  TBitmap b(image.Width(), image.Height());
  if (!b.Empty())
    std::memcpy(b.FBits, image.Pixels().data(), image.Pixels().size() * sizeof(uint32_t));
  return b;
}

TBitmap TBitmap::Clone() const {
  TBitmap b(FWidth, FHeight);
  if (!b.Empty()) {
    GdiFlush(); // pending GDI drawing into this bitmap lands before the copy
    std::memcpy(b.FBits, FBits, static_cast<size_t>(FWidth) * FHeight * sizeof(uint32_t));
  }
  return b;
}

TColor TBitmap::Pixel(int x, int y) const {
  GdiFlush();
  uint32_t p = FBits[static_cast<size_t>(y) * FWidth + x];
  return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}

uint8_t TBitmap::Alpha(int x, int y) const {
  GdiFlush();
  return static_cast<uint8_t>(FBits[static_cast<size_t>(y) * FWidth + x] >> 24);
}

void TBitmap::Fill(TColor color) {
  GdiFlush();
  uint32_t p = 0xFF000000 | ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
  for (size_t i = 0, n = static_cast<size_t>(FWidth) * FHeight; i < n; ++i)
    FBits[i] = p;
}

void TBitmap::Draw(HDC dest, int x, int y) const { Draw(dest, x, y, {0, 0, FWidth, FHeight}); }

void TBitmap::Draw(HDC dest, int x, int y, const TRect& s) const {
  if (!Empty())
    BitBlt(dest, x, y, s.Width(), s.Height(), FDC.Get(), s.Left, s.Top, SRCCOPY);
}

void TBitmap::AlphaDraw(HDC dest, int x, int y) const {
  AlphaDraw(dest, x, y, {0, 0, FWidth, FHeight});
}

void TBitmap::AlphaDraw(HDC dest, int x, int y, const TRect& s) const {
  if (Empty() || s.IsEmpty())
    return;
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  AlphaBlend(dest, x, y, s.Width(), s.Height(), FDC.Get(), s.Left, s.Top, s.Width(), s.Height(),
             blend);
}
