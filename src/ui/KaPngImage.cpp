#include "ui/KaPngImage.h"

#include <png.h>

#include <cstring>

TPngImage::TPngImage(int width, int height, std::vector<uint32_t> pixels)
    : FWidth(width), FHeight(height), FPixels(std::move(pixels)) {}

uint32_t Premultiply(uint32_t argb) {
  uint32_t a = argb >> 24;
  auto channel = [&](int shift) {
    uint32_t c = (argb >> shift) & 0xFF;
    return ((c * a + 127) / 255) << shift;
  };
  return (a << 24) | channel(16) | channel(8) | channel(0);
}

TPngImage TPngImage::Decode(const void* data, size_t size) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  auto fail = [&]() -> TPngImage {
    std::string reason = image.message[0] ? image.message : "unreadable data";
    png_image_free(&image);
    throw EPngError("Invalid PNG image: " + reason);
  };
  if (!png_image_begin_read_from_memory(&image, data, size))
    return fail();
  // 8-bit B, G, R, A in memory: the bytes of 0xAARRGGBB on this little-endian
  // platform.
  image.format = PNG_FORMAT_BGRA;
  std::vector<uint32_t> pixels(static_cast<size_t>(image.width) * image.height);
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
    return fail();
  for (uint32_t& p : pixels)
    p = Premultiply(p);
  return TPngImage(static_cast<int>(image.width), static_cast<int>(image.height),
                   std::move(pixels));
}
