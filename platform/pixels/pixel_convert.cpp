#include "platform/pixels/pixel_convert.h"

#include <cstddef>
#include <cstring>

#include "platform/pixels/pixel_format.h"

void ConvertToXrgb(const FrameView& frame, std::uint8_t* out, int outPitch) {
  for (int y = 0; y < frame.height; ++y) {
    const std::uint8_t* src = frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch;
    auto* dst = reinterpret_cast<std::uint32_t*>(out + static_cast<std::ptrdiff_t>(y) * outPitch);
    if (frame.bitsPerPixel == 32) {
      std::memcpy(dst, src, static_cast<std::size_t>(frame.width) * 4);
    } else if (frame.bitsPerPixel == 24) {
      for (int x = 0; x < frame.width; ++x) dst[x] = LoadRgb24(src + 3 * x);
    } else {
      for (int x = 0; x < frame.width; ++x) dst[x] = WidenRgb565(LoadRgb565(src + 2 * x));
    }
  }
}
