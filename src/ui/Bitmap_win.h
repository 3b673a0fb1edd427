#pragma once

// An off-screen picture (Windows only): a 32-bit top-down device-independent
// bitmap with its own memory device context, for back buffers, the buffers
// of owner-drawn controls and decoded artwork.

#include "base/KaHandle_win.h"
#include "ui/KaGeometry.h"
#include "ui/KaPngImage.h"
#include "ui/KaTheme.h"

#include <cstdint>

class TBitmap {
public:
  TBitmap() = default;
  // All pixels 0 (black, fully transparent).
  TBitmap(int width, int height) { SetSize(width, height); }
  TBitmap(TBitmap&&) noexcept = default;
  TBitmap& operator=(TBitmap&&) noexcept = default;

  // The picture with its alpha channel, ready for AlphaDraw.
  static TBitmap FromPng(const TPngImage& image);
  TBitmap Clone() const;

  // A new size drops the content (all pixels 0). 0 x 0 holds no bitmap at
  // all: DC() is then none and drawing it does nothing. Raises EOutOfResources
  // when the system has no room for the bitmap.
  void SetSize(int width, int height);
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  bool Empty() const { return FWidth <= 0 || FHeight <= 0; }

  // The memory device context the bitmap is selected into: draw on it with
  // GDI. GDI leaves the alpha bytes as they were.
  HDC DC() const { return FDC.Get(); }
  HBITMAP Handle() const { return FBitmap.Get(); }

  // Rows top to bottom, 0xAARRGGBB per pixel.
  uint32_t* Bits() { return FBits; }
  const uint32_t* Bits() const { return FBits; }
  // The colour at (x, y) as 0x00BBGGRR, as the theme writes colours.
  TColor Pixel(int x, int y) const;
  uint8_t Alpha(int x, int y) const;

  // Every pixel opaque in `color`.
  void Fill(TColor color);

  // Copies `source` (in this bitmap's pixels) to (x, y) of `dest`, alpha
  // ignored.
  void Draw(HDC dest, int x, int y) const;
  void Draw(HDC dest, int x, int y, const TRect& source) const;
  // Blends the bitmap onto `dest` at (x, y) by its per-pixel alpha
  // (premultiplied colours, as FromPng makes them).
  void AlphaDraw(HDC dest, int x, int y) const;
  void AlphaDraw(HDC dest, int x, int y, const TRect& source) const;

private:
  TScopedBitmap FBitmap;
  TScopedMemoryDC FDC; // after FBitmap: deleted first, which lets go of the bitmap
  uint32_t* FBits = nullptr;
  int FWidth = 0;
  int FHeight = 0;
};

KA_DECLARE_EXCEPTION(EOutOfResources, Exception);
