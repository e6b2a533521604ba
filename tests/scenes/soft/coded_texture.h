// A texture that tells where it was read: red is the texel's row and green its column, blue 0.
// After a fog grey f is added without saturation, red - blue and green - blue give them back.
#pragma once

#include <cstdint>
#include <vector>

#include "scenes/soft/ray_grid.h"

inline std::vector<std::uint32_t> CodedTexture() {
  std::vector<std::uint32_t> texture(256 * 256);
  for (std::uint32_t row = 0; row < 256; ++row)
    for (std::uint32_t column = 0; column < 256; ++column) texture[256 * row + column] = row << 16 | column << 8;
  return texture;
}

struct CodedTexel {
  bool readable;  // false where the grey saturated a byte
  std::uint32_t row, column;
};

inline CodedTexel DecodeTexel(std::uint32_t pixel) {
  const std::uint32_t fog = pixel & 255, red = pixel >> 16 & 255, green = pixel >> 8 & 255;
  const bool readable = fog < 255 && red < 255 && green < 255 && red >= fog && green >= fog;
  return CodedTexel{readable, red - fog, green - fog};
}

// Counts the canvas pixels of rows [first, first + rows) that read the texel the grid names with
// the given row offset; every readable pixel must agree.
inline int CountTexelsAsNamed(const RayGrid& grid, const std::uint32_t* canvas, int first, int rows,
                              std::int32_t rowOffset) {
  int agreeing = 0;
  for (int r = 0; r < rows; ++r)
    for (int x = 0; x < 512; ++x) {
      const CodedTexel texel = DecodeTexel(canvas[(first + r) * 512 + x]);
      if (!texel.readable) continue;
      const std::size_t n = RayGridIndex(r, x);
      if (texel.row != ((grid.V[n] + static_cast<std::uint32_t>(rowOffset)) & 255) || texel.column != (grid.U[n] & 255))
        return -1;
      ++agreeing;
    }
  return agreeing;
}
