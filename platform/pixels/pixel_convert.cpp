#include "platform/pixels/pixel_convert.h"

#include <cstddef>
#include <cstring>

void ConvertToXrgb(const FrameView& frame, std::uint8_t* out, int outPitch) {
  for (int y = 0; y < frame.height; ++y) {
    const std::uint8_t* src = frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch;
    auto* dst = reinterpret_cast<std::uint32_t*>(out + static_cast<std::ptrdiff_t>(y) * outPitch);
    if (frame.bitsPerPixel == 32) {
      std::memcpy(dst, src, static_cast<std::size_t>(frame.width) * 4);
    } else if (frame.bitsPerPixel == 24) {
      for (int x = 0; x < frame.width; ++x) {
        const std::uint8_t* p = src + 3 * x;
        dst[x] = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                 static_cast<std::uint32_t>(p[2]) << 16;
      }
    } else {
      for (int x = 0; x < frame.width; ++x) {
        const std::uint32_t v = static_cast<std::uint32_t>(src[2 * x]) | static_cast<std::uint32_t>(src[2 * x + 1]) << 8;
        // Widen 5-6-5 so that full intensity stays full: replicate the top bits into the bottom.
        const std::uint32_t r = (v >> 11) & 31, g = (v >> 5) & 63, b = v & 31;
        dst[x] = ((r << 3) | (r >> 2)) << 16 | ((g << 2) | (g >> 4)) << 8 | ((b << 3) | (b >> 2));
      }
    }
  }
}
