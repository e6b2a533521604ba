#include "scenes/soft/radial_blur.h"

#include <cmath>
#include <cstddef>

#include "core/tables.h"
#include "scenes/soft/packed_bytes.h"

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

// The rows a pixel's sample reads: the first toward the centre from it, the second one further
// on, with the weight fy (0..255) of the second.
struct BlurRow {
  const std::uint32_t* first;
  const std::uint32_t* second;
  int fy;
};

// Visits the quadrants in their order (upper left, upper right, lower right, lower left), each row
// from the centre outward and each pixel of a row from the centre outward; the sample lies between
// the pixel and the centre, so most of what it reads has already been rewritten. The kernel gets
// the pixel, its rows, the sample's two columns and the weight fx (0..255) of the second column.
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
  auto rowAt = [area](int row) { return area + static_cast<std::ptrdiff_t>(row) * kTunnelAreaWidth; };
  for (const Quadrant& q : quadrants) {
    if (q.firstRow < 0 || q.firstRow >= kTunnelAreaRows) continue;
    if (q.firstColumn < 0 || q.firstColumn >= kTunnelAreaWidth) continue;  // then every row is skipped
    for (int j = q.firstRow; j >= 0 && j < kTunnelAreaRows; j += q.rowStep) {
      // The sample is displaced back toward the centre, and its second row and column are the
      // next ones toward the centre.
      const int sy = j - q.rowStep * (rowTable[j] >> 8);
      const BlurRow row{rowAt(sy), rowAt(sy - q.rowStep), rowTable[j] & 255};
      std::uint32_t* pixels = rowAt(j);
      for (int i = q.firstColumn; i >= 0 && i < kTunnelAreaWidth; i += q.columnStep) {
        const std::int32_t displacement = columnTable[i];
        const int sx = i - q.columnStep * (displacement >> 8);
        kernel(pixels + i, row, sx, sx - q.columnStep, displacement & 255);
      }
    }
  }
}

#if KALETH_PACKED_PIXELS
void BlurPacked(std::uint32_t* area, const std::int32_t* columnTable, const std::int32_t* rowTable,
                const BlurSplit& split) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i mixWeights = _mm_set1_epi32((1 << 16) | 15);
  const __m128i colourBytes = _mm_cvtsi32_si128(0x00FFFFFF);
  BlurQuadrants(area, columnTable, rowTable, split,
                [&](std::uint32_t* pixel, const BlurRow& row, int sx, int sx2, int fx) {
    // Word loads, one pixel each: a wider load across the pixel just stored would stall. The
    // second column at 512, reached only with weight 0, reads the next row's first pixel.
    auto load = [](const std::uint32_t* source, int column) {
      return _mm_cvtsi32_si128(static_cast<int>(source[column]));
    };
    const __m128i first = _mm_unpacklo_epi32(load(row.first, sx), load(row.second, sx));
    const __m128i second = _mm_unpacklo_epi32(load(row.first, sx2), load(row.second, sx2));
    // Byte pairs (first column, second column) of both rows, widened to 16 bits, each pair
    // multiplied by (255 - fx, fx) and summed into a 32-bit lane.
    const __m128i pairs = _mm_unpacklo_epi8(first, second);
    const __m128i columnWeights = _mm_set1_epi32((fx << 16) | (255 - fx));
    const __m128i top = _mm_srli_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(pairs, zero), columnWeights), 8);
    const __m128i bottom = _mm_srli_epi32(_mm_madd_epi16(_mm_unpackhi_epi8(pairs, zero), columnWeights), 8);
    const __m128i rowPairs = _mm_or_si128(top, _mm_slli_epi32(bottom, 16));
    const __m128i rowWeights = _mm_set1_epi32((row.fy << 16) | (255 - row.fy));
    const __m128i sample = _mm_srli_epi32(_mm_madd_epi16(rowPairs, rowWeights), 8);
    // (15 * S + D) as one more pair product: the pixel's own bytes ride in the upper halves.
    const __m128i own = _mm_unpacklo_epi8(_mm_unpacklo_epi8(zero, _mm_cvtsi32_si128(static_cast<int>(*pixel))), zero);
    const __m128i mixed = _mm_srli_epi32(_mm_madd_epi16(_mm_or_si128(sample, own), mixWeights), 4);
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(mixed, zero), zero);
    _mm_storeu_si32(pixel, _mm_and_si128(bytes, colourBytes));
  });
}
#endif

void BlurPerByte(std::uint32_t* area, const std::int32_t* columnTable, const std::int32_t* rowTable,
                 const BlurSplit& split) {
  BlurQuadrants(area, columnTable, rowTable, split,
                [](std::uint32_t* pixel, const BlurRow& row, int sx, int sx2, int fx) {
    // Here the second column at 512 counts as black; with its weight of 0 the picture is the same.
    auto at = [](const std::uint32_t* source, int column) -> std::uint32_t {
      return column == kTunnelAreaWidth ? 0 : source[column];
    };
    const std::uint32_t weight = static_cast<std::uint32_t>(fx);
    const std::uint32_t top = CrossFadeBytes(at(row.first, sx), at(row.first, sx2), weight);
    const std::uint32_t bottom = CrossFadeBytes(at(row.second, sx), at(row.second, sx2), weight);
    const std::uint32_t sample = CrossFadeBytes(top, bottom, static_cast<std::uint32_t>(row.fy));
    std::uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      result |= ((15 * ByteAt(sample, shift) + ByteAt(*pixel, shift)) >> 4) << shift;
    }
    *pixel = result;
  });
}

}  // namespace

void ApplyRadialBlur(std::uint32_t* area, const std::int32_t* columnTable, const std::int32_t* rowTable,
                     const BlurSplit& split, [[maybe_unused]] PixelPath path) {
#if KALETH_PACKED_PIXELS
  if (path == PixelPath::kPacked) return BlurPacked(area, columnTable, rowTable, split);
#endif
  BlurPerByte(area, columnTable, rowTable, split);
}
