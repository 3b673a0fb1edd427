#pragma once

#include <cstdint>
#include <vector>

// PNG files made in memory for the tests: pixels are 0xAARRGGBB with
// straight (not premultiplied) colour, rows top to bottom.
std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint32_t>& pixels);
