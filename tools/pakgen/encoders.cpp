#include "tools/pakgen/encoders.h"

namespace {

void PutU16(Bytes& out, std::size_t at, unsigned value) {
  out[at] = static_cast<std::uint8_t>(value & 0xff);
  out[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xff);
}

// A run of `count` (1..63) copies of `value`; a lone byte below 0xC0 needs no run header.
void PutRun(Bytes& out, std::uint8_t value, int count) {
  if (count == 1 && value < 0xC0) {
    out.push_back(value);
    return;
  }
  out.push_back(static_cast<std::uint8_t>(0xC0 | count));
  out.push_back(value);
}

void EncodePlane(Bytes& out, const std::vector<std::uint8_t>& plane) {
  std::size_t i = 0;
  while (i < plane.size()) {
    int count = 1;
    while (i + count < plane.size() && count < 63 && plane[i + count] == plane[i]) ++count;
    PutRun(out, plane[i], count);
    i += count;
  }
}

}  // namespace

Bytes EncodePcx(const Picture& picture) {
  const int width = picture.width, height = picture.height;
  const int bytesPerLine = width + (width & 1);
  Bytes out(128, 0);
  out[0] = 10;  // manufacturer
  out[1] = 5;   // version
  out[2] = 1;   // run-length encoding
  out[3] = 8;   // bits per pixel and plane
  PutU16(out, 8, static_cast<unsigned>(width - 1));
  PutU16(out, 10, static_cast<unsigned>(height - 1));
  PutU16(out, 12, 72);
  PutU16(out, 14, 72);
  out[65] = 3;  // planes
  PutU16(out, 66, static_cast<unsigned>(bytesPerLine));
  PutU16(out, 68, 1);  // colour picture
  std::vector<std::uint8_t> plane(static_cast<std::size_t>(bytesPerLine));
  for (int y = 0; y < height; ++y) {
    for (int channel = 0; channel < 3; ++channel) {
      for (int x = 0; x < width; ++x) {
        const Color& c = picture.at(x, y);
        plane[x] = ToByte(channel == 0 ? c.r : channel == 1 ? c.g : c.b);
      }
      EncodePlane(out, plane);
    }
  }
  return out;
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
