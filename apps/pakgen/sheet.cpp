#include "apps/pakgen/sheet.h"

#include <algorithm>
#include <cstdint>

#include "tools/common/png_writer.h"
#include "apps/pakgen/encoders.h"
#include "apps/pakgen/layers.h"
#include "tools/drawing/typesetter.h"

namespace {

constexpr int kSheetWidth = 1600, kGap = 12, kLabelHeight = 18;

struct Placement {
  int x, y;
};

}  // namespace

bool WriteSheet(const std::string& path, const std::vector<PictureMember>& pictures, std::string* error) {
  // Shelf packing: left to right, a new shelf when the next picture would not fit.
  std::vector<Placement> places;
  int x = kGap, y = kGap, shelf = 0;
  for (const PictureMember& p : pictures) {
    if (x + p.picture.width + kGap > kSheetWidth) {
      x = kGap;
      y += shelf + kLabelHeight + kGap;
      shelf = 0;
    }
    places.push_back({x, y + kLabelHeight});
    x += p.picture.width + kGap;
    shelf = std::max(shelf, p.picture.height);
  }
  const int height = y + shelf + kLabelHeight + kGap;
  Picture sheet(kSheetWidth, height, Color{0.16f, 0.16f, 0.18f});
  Mask labels(kSheetWidth, height);
  Typesetter type;
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    const Picture& p = pictures[i].picture;
    for (int py = 0; py < p.height; ++py)
      for (int px = 0; px < p.width; ++px) sheet.at(places[i].x + px, places[i].y + py) = p.at(px, py);
    const std::string label =
        pictures[i].name + "  " + std::to_string(p.width) + "x" + std::to_string(p.height);
    type.Draw(labels, label, {Face::Sans, 12, 0}, places[i].x, places[i].y - 5);
  }
  Cover(sheet, labels, Color{0.9f, 0.9f, 0.9f});
  const std::vector<std::uint32_t> pixels = PackPixels(sheet);
  return WritePng(path, pixels.data(), kSheetWidth, height, kSheetWidth * 4, error);
}
