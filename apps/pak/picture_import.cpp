#include "apps/pak/picture_import.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/common/name_escape.h"
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

// A member holds less than 2 GiB (the package's offsets say no more), so no size past that is taken.
constexpr std::uint64_t kMostPixels = (1ull << 31) - 1;

// One dimension of WIDTHxHEIGHT: decimal digits only, read without wrapping (a number past
// kMostPixels is read as kMostPixels + 1).
bool ParseDimension(const std::string& text, std::uint64_t* value) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
  *value = 0;
  for (char c : text) *value = std::min<std::uint64_t>(*value * 10 + static_cast<unsigned>(c - '0'), kMostPixels + 1);
  return true;
}

// WIDTHxHEIGHT with both at least 1; false with the reason in *error.
bool ParseSize(const std::string& text, int* width, int* height, std::string* error) {
  const std::size_t x = text.find('x');
  std::uint64_t w = 0, h = 0;
  if (x == std::string::npos || !ParseDimension(text.substr(0, x), &w) || !ParseDimension(text.substr(x + 1), &h) ||
      w == 0 || h == 0) {
    *error = "gray needs the picture's size as WIDTHxHEIGHT, e.g. 200x80";
    if (!text.empty()) *error += ", not '" + EscapeName(text) + "'";
    return false;
  }
  if (w * h > kMostPixels) {
    *error = "a size of " + EscapeName(text) + " is too large: a member holds at most " + std::to_string(kMostPixels) +
             " bytes";
    return false;
  }
  *width = static_cast<int>(w);
  *height = static_cast<int>(h);
  return true;
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
    std::fprintf(stderr, "kaleth-pak: unknown kind '%s'; the kinds are %s\n", EscapeName(kindName).c_str(),
                 kImportKinds);
    return 2;
  }
  int width = kind->width, height = kind->height;
  const bool sized = kind->layout == Layout::kGray && width == 0;
  std::string error;
  if (!sized && !size.empty()) error = "only the gray kind takes a size";
  if (!error.empty() || (sized && !ParseSize(size, &width, &height, &error))) {
    std::fprintf(stderr, "kaleth-pak: %s\n", error.c_str());
    return 2;
  }
  // The size is held against the kind's from the header, before a pixel is decoded: a small
  // file may claim a picture of gigabytes.
  auto fits = [&](std::uint32_t pngWidth, std::uint32_t pngHeight, std::string* fault) {
    // The PCX loader takes the height from the header, up to 65536 lines.
    const bool pcxHeight = kind->layout == Layout::kPcx && pngHeight >= 1 && pngHeight <= 65536;
    const bool heightFits = pcxHeight || pngHeight == static_cast<std::uint32_t>(height);
    if (pngWidth == static_cast<std::uint32_t>(width) && heightFits) return true;
    *fault = EscapeName(image) + " is " + std::to_string(pngWidth) + "x" + std::to_string(pngHeight) + ", but " +
             kind->name + " needs " + std::to_string(width) + "x" +
             (kind->layout == Layout::kPcx ? "(1 to 65536)" : std::to_string(height));
    return false;
  };
  std::vector<std::uint32_t> pixels;
  int pngWidth = 0, pngHeight = 0;
  if (!ReadPng(image, &pixels, &pngWidth, &pngHeight, &error, fits)) {
    std::fprintf(stderr, "kaleth-pak: %s\n", error.c_str());
    return 1;
  }
  height = pngHeight;

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
  std::printf("%s: %dx%d %s, %zu bytes\n", EscapeName(out).c_str(), width, height, kind->name, bytes.size());
  return 0;
}
