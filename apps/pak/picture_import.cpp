#include "apps/pak/picture_import.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "tools/common/pak_writer.h"
#include "tools/common/pcx_writer.h"
#include "tools/common/png_reader.h"

namespace {

enum class Layout { kPcx, kRgb, kGray };

struct Kind {
  const char* name;
  Layout layout;
  int width;   // 0: any (pcx height) or given by the caller (gray)
  int height;
};

constexpr Kind kKinds[] = {
    {"pcx", Layout::kPcx, 256, 0},          {"rgb-screen", Layout::kRgb, 512, 280},
    {"rgb-strip", Layout::kRgb, 512, 50},   {"gray", Layout::kGray, 0, 0},
    {"gray-screen", Layout::kGray, 512, 280},
};

bool ParseSize(const std::string& text, int* width, int* height) {
  int used = 0;
  if (std::sscanf(text.c_str(), "%dx%d%n", width, height, &used) != 2) return false;
  return used == static_cast<int>(text.size()) && *width > 0 && *height > 0;
}

std::uint8_t Grey(std::uint32_t pixel) {
  const std::uint32_t r = pixel >> 16 & 0xFF, g = pixel >> 8 & 0xFF, b = pixel & 0xFF;
  return static_cast<std::uint8_t>((299 * r + 587 * g + 114 * b + 500) / 1000);
}

}  // namespace

int ImportPicture(const std::string& kindName, const std::string& image, const std::string& out,
                  const std::string& size) {
  const Kind* kind = nullptr;
  for (const Kind& k : kKinds) kind = kindName == k.name ? &k : kind;
  if (kind == nullptr) {
    std::fprintf(stderr, "kaleth-pak: unknown kind '%s'; the kinds are %s\n", kindName.c_str(), kImportKinds);
    return 2;
  }
  int width = kind->width, height = kind->height;
  const bool sized = kind->layout == Layout::kGray && width == 0;
  if (sized != !size.empty() || (sized && !ParseSize(size, &width, &height))) {
    std::fprintf(stderr, "kaleth-pak: %s\n", sized ? "gray needs the picture's size as WIDTHxHEIGHT, e.g. 200x80"
                                                   : "only the gray kind takes a size");
    return 2;
  }
  std::vector<std::uint32_t> pixels;
  int pngWidth = 0, pngHeight = 0;
  std::string error;
  if (!ReadPng(image, &pixels, &pngWidth, &pngHeight, &error)) {
    std::fprintf(stderr, "kaleth-pak: %s\n", error.c_str());
    return 1;
  }
  // The PCX loader takes the height from the header, up to 65536 lines.
  if (kind->layout == Layout::kPcx && height == 0 && pngHeight <= 65536) height = pngHeight;
  if (pngWidth != width || pngHeight != height) {
    std::fprintf(stderr, "kaleth-pak: %s is %dx%d, but %s needs %dx%s\n", image.c_str(), pngWidth, pngHeight,
                 kind->name, width, kind->layout == Layout::kPcx ? "(1 to 65536)" : std::to_string(height).c_str());
    return 1;
  }

  std::vector<std::uint8_t> bytes;
  if (kind->layout == Layout::kPcx) {
    bytes = EncodePcx(pixels.data(), width, height);
  } else {
    for (std::uint32_t pixel : pixels) {
      if (kind->layout == Layout::kGray) {
        bytes.push_back(Grey(pixel));
      } else {
        bytes.insert(bytes.end(), {static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
                                   static_cast<std::uint8_t>(pixel)});
      }
    }
  }
  if (!WriteFileBytes(out, bytes, &error)) {
    std::fprintf(stderr, "kaleth-pak: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s: %dx%d %s, %zu bytes\n", out.c_str(), width, height, kind->name, bytes.size());
  return 0;
}
