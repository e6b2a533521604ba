#include "scenes/soft/radial_blur.h"

#include <emmintrin.h>

#include <cmath>
#include <cstddef>

#include "runtime/tables.h"

BlurSplit ComputeBlurTables(std::uint32_t elapsed, std::int32_t* columnTable, std::int32_t* rowTable) {
  const float cx = -255.0f * SinTable[(elapsed / 5) & kTableMask];
  const float cy = 85.0f * CosTable[(elapsed / 6 + 34) & kTableMask];
  const float kx = 0.023f * std::fabs(SinTable[(elapsed / 8) & kTableMask]);
  const float ky = 0.023f * std::fabs(CosTable[(elapsed / 8) & kTableMask]);
  // The displacements stay below 0.023 * 512 * 256, far inside the integer range.
  for (int i = 0; i < kTunnelAreaWidth; ++i) {
    columnTable[i] = static_cast<std::int32_t>(std::fabs((static_cast<float>(i) - cx - 256.0f) * kx) * 256.0f);
  }
  for (int j = 0; j < kTunnelAreaRows; ++j) {
    rowTable[j] = static_cast<std::int32_t>(std::fabs((static_cast<float>(j) - cy - 90.0f) * ky) * 256.0f);
  }
  return BlurSplit{static_cast<int>(cx + 256.0f), static_cast<int>(cx + 257.0f), static_cast<int>(cy + 90.0f),
                   static_cast<int>(cy + 91.0f)};
}

namespace {

// One pixel's sample: the 2 x 2 block at rows sy, sy2 and columns sx, sx2 with the weight of the
// second row fy and of the second column fx (both 0..255).
struct BlurSample {
  int sy, sy2, sx, sx2, fx, fy;
};

inline std::size_t AreaIndex(int row, int column) {
  return static_cast<std::size_t>(row) * kTunnelAreaWidth + static_cast<std::size_t>(column);
}

// Visits the quadrants in their order (upper left, upper right, lower right, lower left), each row
// from the centre outward and each pixel of a row from the centre outward; the sample lies between
// the pixel and the centre, so most of what it reads has already been rewritten.
template <class Kernel>
void BlurQuadrants(std::uint32_t* area, const std::int32_t* columnTable, const std::int32_t* rowTable,
                   const BlurSplit& split, Kernel kernel) {
  struct Quadrant {
    int firstRow, rowStep, firstColumn, columnStep;
  };
  const Quadrant quadrants[4] = {{split.j0, -1, split.i0, -1},
                                 {split.j0, -1, split.i1, 1},
                                 {split.j1, 1, split.i1, 1},
                                 {split.j1, 1, split.i0, -1}};
  for (const Quadrant& q : quadrants) {
    if (q.firstRow < 0 || q.firstRow >= kTunnelAreaRows) continue;
    if (q.firstColumn < 0 || q.firstColumn >= kTunnelAreaWidth) continue;  // then every row is skipped
    for (int j = q.firstRow; j >= 0 && j < kTunnelAreaRows; j += q.rowStep) {
      // The sample is displaced back toward the centre, and its second row and column are the
      // next ones toward the centre.
      const int sy = j - q.rowStep * (rowTable[j] >> 8);
      for (int i = q.firstColumn; i >= 0 && i < kTunnelAreaWidth; i += q.columnStep) {
        const int sx = i - q.columnStep * (columnTable[i] >> 8);
        kernel(area + AreaIndex(j, i),
               BlurSample{sy, sy - q.rowStep, sx, sx - q.columnStep, columnTable[i] & 255, rowTable[j] & 255});
      }
    }
  }
}

}  // namespace

void ApplyRadialBlur(std::uint32_t* area, const std::int32_t* columnTable, const std::int32_t* rowTable,
                     const BlurSplit& split) {
  const __m128i zero = _mm_setzero_si128();
  BlurQuadrants(area, columnTable, rowTable, split, [&](std::uint32_t* pixel, const BlurSample& s) {
    // Word loads, one pixel each: a wider load across the pixel just stored would stall.
    auto load = [&](int row, int column) {
      return _mm_cvtsi32_si128(static_cast<int>(area[AreaIndex(row, column)]));
    };
    // The second column at 512, reached only with weight 0, reads the next row's first pixel.
    const __m128i first = _mm_unpacklo_epi32(load(s.sy, s.sx), load(s.sy2, s.sx));
    const __m128i second = _mm_unpacklo_epi32(load(s.sy, s.sx2), load(s.sy2, s.sx2));
    // Byte pairs (first column, second column) of both rows, widened to 16 bits, each pair
    // multiplied by (255 - fx, fx) and summed into a 32-bit lane.
    const __m128i pairs = _mm_unpacklo_epi8(first, second);
    const __m128i columnWeights = _mm_set1_epi32((s.fx << 16) | (255 - s.fx));
    const __m128i top = _mm_srli_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(pairs, zero), columnWeights), 8);
    const __m128i bottom = _mm_srli_epi32(_mm_madd_epi16(_mm_unpackhi_epi8(pairs, zero), columnWeights), 8);
    const __m128i rowPairs = _mm_or_si128(top, _mm_slli_epi32(bottom, 16));
    const __m128i rowWeights = _mm_set1_epi32((s.fy << 16) | (255 - s.fy));
    const __m128i sample = _mm_srli_epi32(_mm_madd_epi16(rowPairs, rowWeights), 8);
    const __m128i own = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(*pixel)), zero), zero);
    const __m128i mixed = _mm_srli_epi32(_mm_add_epi32(_mm_sub_epi32(_mm_slli_epi32(sample, 4), sample), own), 4);
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(mixed, zero), zero);
    *pixel = static_cast<std::uint32_t>(_mm_cvtsi128_si32(bytes)) & 0x00FFFFFFu;
  });
}

void ApplyRadialBlurPerByte(std::uint32_t* area, const std::int32_t* columnTable, const std::int32_t* rowTable,
                            const BlurSplit& split) {
  BlurQuadrants(area, columnTable, rowTable, split, [&](std::uint32_t* pixel, const BlurSample& s) {
    // Here the second column at 512 counts as black; with its weight of 0 the picture is the same.
    auto channel = [&](int row, int column, int shift) -> std::uint32_t {
      return column == kTunnelAreaWidth ? 0 : (area[AreaIndex(row, column)] >> shift) & 255;
    };
    const std::uint32_t fx = static_cast<std::uint32_t>(s.fx);
    const std::uint32_t fy = static_cast<std::uint32_t>(s.fy);
    std::uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      const std::uint32_t top = (channel(s.sy, s.sx, shift) * (255 - fx) + channel(s.sy, s.sx2, shift) * fx) >> 8;
      const std::uint32_t bottom =
          (channel(s.sy2, s.sx, shift) * (255 - fx) + channel(s.sy2, s.sx2, shift) * fx) >> 8;
      const std::uint32_t sample = (top * (255 - fy) + bottom * fy) >> 8;
      const std::uint32_t own = (*pixel >> shift) & 255;
      result |= ((15 * sample + own) >> 4) << shift;
    }
    *pixel = result;
  });
}
