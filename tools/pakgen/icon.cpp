#include "tools/pakgen/icon.h"

#include <algorithm>

#include "tools/common/png_writer.h"
#include "tools/pakgen/encoders.h"

namespace {

// The square of the opening backdrop around its planet (centred at 352, 118): sky, planet and the
// ridge below it, without the title.
constexpr const char* kSource = "overlay2.raw";
constexpr int kCropLeft = 224, kCropTop = 0, kCropSize = 256;

// Each icon pixel is the mean of the source pixels whose centres fall in its square, so every
// size is drawn from the whole crop, without the aliasing of picking one pixel of many.
Picture Shrink(const Picture& source, int left, int top, int span, int size) {
  Picture icon(size, size);
  for (int y = 0; y < size; ++y) {
    const int y0 = top + y * span / size, y1 = top + (y + 1) * span / size;
    for (int x = 0; x < size; ++x) {
      const int x0 = left + x * span / size, x1 = left + (x + 1) * span / size;
      Color sum;
      for (int sy = y0; sy < y1; ++sy)
        for (int sx = x0; sx < x1; ++sx) sum = sum + source.at(sx, sy);
      icon.at(x, y) = sum * (1.f / static_cast<float>((x1 - x0) * (y1 - y0)));
    }
  }
  return icon;
}

}  // namespace

bool WriteIcon(const std::string& path, int size, const std::vector<PictureMember>& pictures, std::string* error) {
  if (size < 16 || size > kCropSize) {
    *error = "an icon is 16 to 256 pixels square";
    return false;
  }
  const auto source = std::find_if(pictures.begin(), pictures.end(),
                                   [](const PictureMember& member) { return member.name == kSource; });
  if (source == pictures.end()) {
    *error = std::string("the icon's picture ") + kSource + " was not painted";
    return false;
  }
  const Picture icon = Shrink(source->picture, kCropLeft, kCropTop, kCropSize, size);
  const std::vector<std::uint32_t> pixels = PackPixels(icon);
  return WritePng(path, pixels.data(), size, size, size * 4, error);
}
