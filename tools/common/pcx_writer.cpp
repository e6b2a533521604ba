#include "tools/common/pcx_writer.h"

#include <algorithm>

namespace {

void putU16(std::vector<std::uint8_t>& out, std::size_t at, unsigned value) {
  out[at] = static_cast<std::uint8_t>(value);
  out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

// One line's bytes as runs and literals; a byte that looks like a run header goes as a run of one.
void EncodeLine(const std::vector<std::uint8_t>& line, std::vector<std::uint8_t>& out) {
  std::size_t at = 0;
  while (at < line.size()) {
    const std::uint8_t value = line[at];
    std::size_t run = 1;
    while (at + run < line.size() && run < 63 && line[at + run] == value) ++run;
    if (run > 1 || (value & 0xC0) == 0xC0) out.push_back(static_cast<std::uint8_t>(0xC0 | run));
    out.push_back(value);
    at += run;
  }
}

}  // namespace

std::vector<std::uint8_t> EncodePcx(const std::uint32_t* pixels, int width, int height) {
  const int bytesPerLine = width + (width & 1);
  std::vector<std::uint8_t> out(128, 0);
  out[0] = 10;  // manufacturer
  out[1] = 5;   // version: 24-bit colour
  out[2] = 1;   // run-length encoded
  out[3] = 8;   // bits per pixel and plane
  putU16(out, 8, static_cast<unsigned>(width - 1));    // Xmax
  putU16(out, 10, static_cast<unsigned>(height - 1));  // Ymax
  putU16(out, 12, 72);
  putU16(out, 14, 72);
  out[65] = 3;  // planes
  putU16(out, 66, static_cast<unsigned>(bytesPerLine));
  putU16(out, 68, 1);  // colour palette information

  std::vector<std::uint8_t> line(3 * static_cast<std::size_t>(bytesPerLine));
  for (int y = 0; y < height; ++y) {
    std::fill(line.begin(), line.end(), 0);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t pixel = pixels[static_cast<std::size_t>(y) * width + x];
      for (int plane = 0; plane < 3; ++plane) {
        line[plane * bytesPerLine + x] = static_cast<std::uint8_t>(pixel >> (16 - 8 * plane));
      }
    }
    EncodeLine(line, out);
  }
  return out;
}
