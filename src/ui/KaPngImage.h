#pragma once

#include "base/KaExceptions.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A decoded PNG picture (artwork: backgrounds, sprite strips, caption
// buttons). Pixels are 32-bit values 0xAARRGGBB, rows top to bottom, with the
// colour premultiplied by alpha: in memory the B, G, R, A bytes of a 32-bit
// top-down device-independent bitmap, ready for alpha blending.

KA_DECLARE_EXCEPTION(EPngError, Exception);

class TPngImage {
public:
  TPngImage() = default;
  TPngImage(int width, int height, std::vector<uint32_t> pixels);

  // Raises EPngError "Invalid PNG image: <reason>" for data that is not a
  // PNG image libpng can read.
  static TPngImage Decode(const void* data, size_t size);

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  bool Empty() const { return FWidth <= 0 || FHeight <= 0; }
  const std::vector<uint32_t>& Pixels() const { return FPixels; }
  uint32_t Pixel(int x, int y) const { return FPixels.at(static_cast<size_t>(y) * FWidth + x); }

private:
  int FWidth = 0;
  int FHeight = 0;
  std::vector<uint32_t> FPixels;
};

// 0xAARRGGBB with straight (not premultiplied) colour -> premultiplied,
// rounded to the nearest value.
uint32_t Premultiply(uint32_t argb);
