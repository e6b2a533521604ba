#include "apps/pakgen/encoders.h"

std::vector<std::uint32_t> PackPixels(const Picture& picture) {
  std::vector<std::uint32_t> pixels;
  pixels.reserve(picture.pixels.size());
  for (const Color& c : picture.pixels)
    pixels.push_back(static_cast<std::uint32_t>(ToByte(c.r)) << 16 | static_cast<std::uint32_t>(ToByte(c.g)) << 8 |
                     ToByte(c.b));
  return pixels;
}

Bytes EncodeRgbRaw(const Picture& picture) {
  Bytes out;
  out.reserve(picture.pixels.size() * 3);
  for (const Color& c : picture.pixels) {
    out.push_back(ToByte(c.r));
    out.push_back(ToByte(c.g));
    out.push_back(ToByte(c.b));
  }
  return out;
}

Bytes EncodeGreyRaw(const Picture& picture) {
  Bytes out;
  out.reserve(picture.pixels.size());
  for (const Color& c : picture.pixels) out.push_back(ToByte(Luma(c)));
  return out;
}
