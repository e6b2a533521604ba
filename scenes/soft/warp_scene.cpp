#include "scenes/soft/warp_scene.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "data/pcx_loader.h"
#include "data/raw_loaders.h"
#include "display/present.h"
#include "core/canvas.h"
#include "core/row_bands.h"
#include "core/tables.h"
#include "runtime/timeline.h"
#include "scenes/soft/packed_bytes.h"

WarpScene Warp;

namespace {

constexpr unsigned kFirstSlotLastNumber = 3;  // numbers up to 3 mean slot 1 (number 2) is running

// The two waves of one frame: the texture row offset of every column and the texture column
// offset of every row. Each is one table product per column or row.
struct WarpWaves {
  std::int32_t rowShift[kCanvasWidth];
  std::int32_t columnShift[kCanvasHeight];
};

void ComputeWaves(std::uint32_t elapsed, WarpWaves* waves) {
  for (int x = 0; x < kCanvasWidth; ++x) {
    waves->rowShift[x] = static_cast<std::int32_t>(-150.0 * SinTable[(elapsed / 3 + x) & kTableMask]);
  }
  for (int y = 0; y < kCanvasHeight; ++y) {
    waves->columnShift[y] = static_cast<std::int32_t>(-100.0 * CosTable[(elapsed / 4 + y) & kTableMask]);
  }
}

std::uint32_t WarpedTexel(const std::uint32_t* texture, const WarpWaves& waves, int y, int x) {
  const unsigned row = static_cast<unsigned>(y - waves.rowShift[x]) & 0xFFu;
  const unsigned column = static_cast<unsigned>(x - waves.columnShift[y]) & 0xFFu;
  return texture[(row << 8) | column];
}

void WarpAndBlendScalar(const std::uint32_t* texture, const WarpWaves& waves, std::uint32_t* canvas, int firstRow,
                        int endRow) {
  for (int y = firstRow; y < endRow; ++y) {
    std::uint32_t* out = canvas + y * kCanvasWidth;
    const std::uint32_t* overlay = Warp.overlay + y * kCanvasWidth;
    for (int x = 0; x < kCanvasWidth; ++x) out[x] = AverageBytes(WarpedTexel(texture, waves, y, x), overlay[x]);
  }
}

void AddTextScalar(const std::uint32_t* text, int top, int left, std::uint32_t* canvas) {
  for (int r = 0; r < kWarpTextHeight; ++r) {
    std::uint32_t* out = canvas + (top + r) * kCanvasWidth + left;
    const std::uint32_t* in = text + r * kWarpTextWidth;
    for (int c = 0; c < kWarpTextWidth; ++c) out[c] = AddBytesSaturating(out[c], in[c]);
  }
}

#if KALETH_PACKED_PIXELS
void WarpAndBlendPacked(const std::uint32_t* texture, const WarpWaves& waves, std::uint32_t* canvas, int firstRow,
                        int endRow) {
  const __m128i lowByte = _mm_set1_epi32(0xFF);
  const __m128i columnStep = _mm_set1_epi32(4);
  for (int y = firstRow; y < endRow; ++y) {
    std::uint32_t* out = canvas + y * kCanvasWidth;
    const std::uint32_t* overlay = Warp.overlay + y * kCanvasWidth;
    const __m128i rows = _mm_set1_epi32(y);
    __m128i columns = _mm_sub_epi32(_mm_setr_epi32(0, 1, 2, 3), _mm_set1_epi32(waves.columnShift[y]));
    for (int x = 0; x < kCanvasWidth; x += 4, columns = _mm_add_epi32(columns, columnStep)) {
      const __m128i textureRows = _mm_and_si128(_mm_sub_epi32(rows, LoadPixels4(waves.rowShift + x)), lowByte);
      const __m128i index = _mm_or_si128(_mm_slli_epi32(textureRows, 8), _mm_and_si128(columns, lowByte));
      StorePixels4(out + x, AverageBytes4(GatherPixels4(texture, index), LoadPixels4(overlay + x)));
    }
  }
}

void AddTextPacked(const std::uint32_t* text, int top, int left, std::uint32_t* canvas) {
  for (int r = 0; r < kWarpTextHeight; ++r) {
    std::uint32_t* out = canvas + (top + r) * kCanvasWidth + left;
    const std::uint32_t* in = text + r * kWarpTextWidth;
    for (int c = 0; c < kWarpTextWidth; c += 4) {
      StorePixels4(out + c, AddBytesSaturating4(LoadPixels4(out + c), LoadPixels4(in + c)));
    }
  }
}
#endif

void WarpAndBlend(const std::uint32_t* texture, const WarpWaves& waves, std::uint32_t* canvas,
                  [[maybe_unused]] PixelPath path) {
  // A canvas row reads the texture and its own overlay row; the text is added after all of them.
  PaintRowBands(kCanvasHeight, [&](int firstRow, int endRow) {
#if KALETH_PACKED_PIXELS
    if (path == PixelPath::kPacked) return WarpAndBlendPacked(texture, waves, canvas, firstRow, endRow);
#endif
    WarpAndBlendScalar(texture, waves, canvas, firstRow, endRow);
  });
}

void AddText(const std::uint32_t* text, int top, int left, std::uint32_t* canvas, [[maybe_unused]] PixelPath path) {
#if KALETH_PACKED_PIXELS
  if (path == PixelPath::kPacked) return AddTextPacked(text, top, left, canvas);
#endif
  AddTextScalar(text, top, left, canvas);
}

}  // namespace

void DrawWarpFrame(std::uint32_t elapsed, unsigned timelineNumber, std::uint32_t* canvas, PixelPath path) {
  const bool firstSlot = timelineNumber <= kFirstSlotLastNumber;
  WarpWaves waves;
  ComputeWaves(elapsed, &waves);
  WarpAndBlend(firstSlot ? Warp.texture5 : Warp.texture6, waves, canvas, path);
  if (firstSlot) return;

  const std::uint32_t picture = std::min<std::uint32_t>(elapsed / kWarpTextPeriod, kWarpTextCount - 1);
  // The shake angle is 2a radians, formed in 32 bits like the time itself, so it wraps with it.
  const double angle = static_cast<double>(static_cast<std::uint32_t>(elapsed * 2u));
  const int left = static_cast<int>(10.0 * std::fabs(std::sin(angle)));
  const int top = static_cast<int>(10.0 * std::fabs(std::cos(angle)));
  AddText(Warp.texts[picture], top, left, canvas, path);
}

void RenderWarpScene(std::uint32_t elapsed, std::uint32_t* canvas) {
  DrawWarpFrame(elapsed, Timeline.number, canvas, RenderPixelPath);
  CopyCanvas();
}

void SetUpWarpScene() {
  Warp.texture6 = LoadPcx("texture6.pcx");
  Warp.texture5 = LoadPcx("texture5.pcx");
  Warp.overlay = LoadRgbRawScreen("overlay1.raw");
  char name[] = "text1.raw";
  for (int i = 0; i < kWarpTextCount; ++i) {
    name[4] = static_cast<char>('1' + i);
    Warp.texts[i] = LoadGrayRaw(kWarpTextWidth * kWarpTextHeight, name);
  }
}

// Only slot 10's texture is given back; the rest of the scene's pictures stay to the end.
void CleanUpWarpScene() {
  std::free(Warp.texture6);
  Warp.texture6 = nullptr;
}
