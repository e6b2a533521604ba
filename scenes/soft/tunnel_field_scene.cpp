#include "scenes/soft/tunnel_field_scene.h"

#include <cstdlib>

#include "data/pcx_loader.h"
#include "display/present.h"
#include "core/canvas.h"
#include "core/errors.h"
#include "core/row_bands.h"
#include "core/tables.h"
#include "scenes/soft/packed_bytes.h"
#include "scenes/soft/tunnel_tables.h"

TunnelFieldScene TunnelField;

namespace {

// 256 / 3.14159: half a turn spans 256 angle units, the width of the texture.
constexpr double kFieldAngleScale = 81.4873996925124;

// A sum of 893 or more (twice the sum 1786 or more) is fully dark.
constexpr std::uint32_t kDarkTwiceSum = 7 * 255;

std::uint32_t FieldShade(std::uint32_t depthSum) {
  const std::uint32_t shade = 2 * depthSum / 7;
  return shade > 255 ? 255 : shade;
}

// The table rows one canvas row reads, one per centre.
struct FieldRow {
  const std::int32_t* depth[kFieldCentres];
  const std::int32_t* angle[kFieldCentres];
};

FieldRow FieldRowAt(int y, const FieldShift shifts[kFieldCentres]) {
  FieldRow row;
  for (int i = 0; i < kFieldCentres; ++i) {
    const int offset = (y + shifts[i].y) * kFieldTableColumns + shifts[i].x;
    row.depth[i] = TunnelField.depth + offset;
    row.angle[i] = TunnelField.angle + offset;
  }
  return row;
}

void DrawFieldScalar(std::uint32_t elapsed, const FieldShift shifts[kFieldCentres], std::uint32_t* canvas,
                     int firstRow, int endRow) {
  const std::uint32_t advance = elapsed / 4;
  for (int y = firstRow; y < endRow; ++y) {
    const FieldRow row = FieldRowAt(y, shifts);
    const std::int32_t* const* depth = row.depth;
    const std::int32_t* const* angle = row.angle;
    std::uint32_t* out = canvas + y * kCanvasWidth;
    for (int x = 0; x < kCanvasWidth; ++x) {
      const std::uint32_t depthSum = static_cast<std::uint32_t>(depth[0][x] + depth[1][x] + depth[2][x] + depth[3][x]);
      const std::uint32_t angleSum = static_cast<std::uint32_t>(angle[0][x] + angle[1][x] + angle[2][x] + angle[3][x]);
      const std::uint32_t textureRow = (advance + 2 * depthSum) & 0xFFu;
      out[x] = SubtractShade(TunnelField.texture[(textureRow << 8) | (angleSum & 0xFFu)], FieldShade(depthSum));
    }
  }
}

#if KALETH_PACKED_PIXELS
void DrawFieldPacked(std::uint32_t elapsed, const FieldShift shifts[kFieldCentres], std::uint32_t* canvas,
                     int firstRow, int endRow) {
  const __m128i advance = _mm_set1_epi32(static_cast<int>(elapsed / 4));
  const __m128i rowBits = _mm_set1_epi32(0xFF00);
  const __m128i columnBits = _mm_set1_epi32(0xFF);
  // n * 9363 >> 16 is n / 7 for every n up to 1785, and the clamp keeps n there.
  const __m128i sevenths = _mm_set1_epi32(9363);
  for (int y = firstRow; y < endRow; ++y) {
    const FieldRow row = FieldRowAt(y, shifts);
    std::uint32_t* out = canvas + y * kCanvasWidth;
    for (int x = 0; x < kCanvasWidth; x += 4) {
      const auto sum = [x](const std::int32_t* const* table) {
        return _mm_add_epi32(_mm_add_epi32(LoadPixels4(table[0] + x), LoadPixels4(table[1] + x)),
                             _mm_add_epi32(LoadPixels4(table[2] + x), LoadPixels4(table[3] + x)));
      };
      const __m128i depthSum = sum(row.depth);
      const __m128i twice = _mm_add_epi32(depthSum, depthSum);
      const __m128i index = _mm_or_si128(_mm_and_si128(_mm_slli_epi32(_mm_add_epi32(advance, twice), 8), rowBits),
                                         _mm_and_si128(sum(row.angle), columnBits));
      // The clamped value sits in the low half of each lane and the high half is 0, so the
      // 16-bit high product is the whole lane's quotient.
      const __m128i shade = _mm_mulhi_epu16(ClampLanes4(twice, kDarkTwiceSum), sevenths);
      StorePixels4(out + x, SubtractShade4(GatherPixels4(TunnelField.texture, index), shade));
    }
  }
}
#endif

}  // namespace

void FillTunnelFieldTables() {
  const TunnelTableShape shape{kFieldTableRows, kFieldTableColumns, 280, 512, 15000, kFieldAngleScale, 1.0};
  FillTunnelTables(shape, TunnelField.depth, TunnelField.angle);
}

void ComputeFieldShifts(std::uint32_t elapsed, FieldShift shifts[kFieldCentres]) {
  const double cos2 = CosTable[(elapsed / 2) & kTableMask];
  const double sin2 = SinTable[(elapsed / 2) & kTableMask];
  const double sin4 = SinTable[(elapsed / 4) & kTableMask];
  const double cos4 = CosTable[(elapsed / 4) & kTableMask];
  const double cos8 = CosTable[(elapsed / 8) & kTableMask];
  shifts[0] = {static_cast<int>(139.5 * cos2 + 140), 256 - static_cast<int>(255.5 * sin4)};
  shifts[1] = {static_cast<int>(139.5 * sin2 + 140), 256 - static_cast<int>(-255.5 * cos4)};
  shifts[2] = {static_cast<int>(140 - 139.5 * cos2), 256 - static_cast<int>(-255.5 * sin4)};
  shifts[3] = {static_cast<int>(139.5 * cos8 + 140), 256 - static_cast<int>(255.5 * sin2)};
}

void DrawTunnelFieldFrame(std::uint32_t elapsed, std::uint32_t* canvas, [[maybe_unused]] PixelPath path) {
  FieldShift shifts[kFieldCentres];
  ComputeFieldShifts(elapsed, shifts);
  // A canvas row reads only the table rows of its own row.
  PaintRowBands(kCanvasHeight, [&](int firstRow, int endRow) {
#if KALETH_PACKED_PIXELS
    if (path == PixelPath::kPacked) return DrawFieldPacked(elapsed, shifts, canvas, firstRow, endRow);
#endif
    DrawFieldScalar(elapsed, shifts, canvas, firstRow, endRow);
  });
}

void RenderTunnelFieldScene(std::uint32_t elapsed, std::uint32_t* canvas) {
  DrawTunnelFieldFrame(elapsed, canvas, RenderPixelPath);
  CopyCanvas();
}

void SetUpTunnelFieldScene() {
  constexpr std::size_t kTableBytes = kFieldTableRows * kFieldTableColumns * sizeof(std::int32_t);
  TunnelField.texture = LoadPcx("texture1.pcx");
  TunnelField.depth = static_cast<std::int32_t*>(CheckedAlloc(kTableBytes));
  TunnelField.angle = static_cast<std::int32_t*>(CheckedAlloc(kTableBytes));
  FillTunnelFieldTables();
}

void CleanUpTunnelFieldScene() {
  std::free(TunnelField.texture);
  std::free(TunnelField.depth);
  std::free(TunnelField.angle);
  TunnelField = TunnelFieldScene{};
}
