#include "apps/pakgen/icon.h"

#include <algorithm>

#include "tools/common/png_writer.h"
#include "apps/pakgen/encoders.h"

namespace {

// The square of the opening backdrop around its planet (centred at 352, 118): sky, planet and the
// ridge below it, clear of the title's letters and their glow.
constexpr const char* kSource = "overlay2.raw";
constexpr int kCropLeft = 240, kCropTop = 4, kCropSize = 224;

struct Weight {
  int at;
  float share;
};

// How much of each source pixel along one axis falls in each of `size` equal parts of the span.
std::vector<std::vector<Weight>> Parts(int first, int span, int size) {
  std::vector<std::vector<Weight>> parts(size);
  const float step = static_cast<float>(span) / size;
  for (int i = 0; i < size; ++i) {
    const float from = i * step, to = (i + 1) * step;
    for (int at = static_cast<int>(from); at < span && at < to; ++at) {
      const float share = (std::min(to, at + 1.f) - std::max(from, static_cast<float>(at))) / step;
      if (share > 0) parts[i].push_back({first + at, share});
    }
  }
  return parts;
}

// Each icon pixel is the mean of the picture over its square, so small sizes keep the whole crop
// without the flicker of picking one pixel of many, and large ones blend neighbours.
Picture Resample(const Picture& source, int left, int top, int span, int size) {
  const auto columns = Parts(left, span, size), rows = Parts(top, span, size);
  Picture icon(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      Color sum;
      for (const Weight& row : rows[y])
        for (const Weight& column : columns[x]) sum = sum + source.at(column.at, row.at) * (row.share * column.share);
      icon.at(x, y) = sum;
    }
  return icon;
}

}  // namespace

bool WriteIcon(const std::string& path, int size, const std::vector<PictureMember>& pictures, std::string* error) {
  if (size < 16 || size > 256) {
    *error = "an icon is 16 to 256 pixels square";
    return false;
  }
  const auto source = std::find_if(pictures.begin(), pictures.end(),
                                   [](const PictureMember& member) { return member.name == kSource; });
  if (source == pictures.end()) {
    *error = std::string("the icon's picture ") + kSource + " was not painted";
    return false;
  }
  const Picture icon = Resample(source->picture, kCropLeft, kCropTop, kCropSize, size);
  const std::vector<std::uint32_t> pixels = PackPixels(icon);
  return WritePng(path, pixels.data(), size, size, size * 4, error);
}
