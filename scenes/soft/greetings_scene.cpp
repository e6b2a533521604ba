#include "scenes/soft/greetings_scene.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "data/pcx_loader.h"
#include "display/present.h"
#include "core/canvas.h"
#include "core/errors.h"
#include "core/tables.h"
#include "scenes/soft/packed_bytes.h"
#include "scenes/soft/tunnel_tables.h"

GreetingsScene Greetings;

namespace {

constexpr int kTexels = 256 * 256;
constexpr int kGreetingCentreRow = 140;
constexpr int kGreetingCentreColumn = 256;

void CrossFadeScalar(std::uint32_t weight) {
  for (int i = 0; i < kTexels; ++i) {
    Greetings.blend[i] = CrossFadeBytes(Greetings.texture1[i], Greetings.texture5[i], weight);
  }
}

void TunnelScalar(std::uint32_t advance, std::uint32_t turn, std::uint32_t* canvas) {
  for (int i = 0; i < kCanvasWidth * kCanvasHeight; ++i) {
    const std::uint32_t depth = static_cast<std::uint32_t>(Greetings.depth[i]);
    const std::uint32_t row = (depth + advance) & 0xFFu;
    const std::uint32_t column = (static_cast<std::uint32_t>(Greetings.angle[i]) + turn) & 0xFFu;
    canvas[i] = SubtractShade(Greetings.blend[(row << 8) | column], depth >= 255 ? 255 : depth);
  }
}

#if KALETH_PACKED_PIXELS
void CrossFadePacked(std::uint32_t weight) {
  for (int i = 0; i < kTexels; i += 4) {
    StorePixels4(Greetings.blend + i,
                 CrossFadeBytes4(LoadPixels4(Greetings.texture1 + i), LoadPixels4(Greetings.texture5 + i), weight));
  }
}

void TunnelPacked(std::uint32_t advance, std::uint32_t turn, std::uint32_t* canvas) {
  const __m128i advanceLanes = _mm_set1_epi32(static_cast<int>(advance));
  const __m128i turnLanes = _mm_set1_epi32(static_cast<int>(turn));
  const __m128i rowBits = _mm_set1_epi32(0xFF00);
  const __m128i columnBits = _mm_set1_epi32(0xFF);
  for (int i = 0; i < kCanvasWidth * kCanvasHeight; i += 4) {
    // The depths are positive, so the signed clamp is the unsigned one.
    const __m128i depth = LoadPixels4(Greetings.depth + i);
    const __m128i index =
        _mm_or_si128(_mm_and_si128(_mm_slli_epi32(_mm_add_epi32(depth, advanceLanes), 8), rowBits),
                     _mm_and_si128(_mm_add_epi32(LoadPixels4(Greetings.angle + i), turnLanes), columnBits));
    StorePixels4(canvas + i, SubtractShade4(GatherPixels4(Greetings.blend, index), ClampLanes4(depth, 255)));
  }
}
#endif

// The blend texture of the frame, then the tunnel from it.
void DrawTunnel(std::uint32_t weight, std::uint32_t advance, std::uint32_t turn, std::uint32_t* canvas,
                [[maybe_unused]] PixelPath path) {
#if KALETH_PACKED_PIXELS
  if (path == PixelPath::kPacked) {
    CrossFadePacked(weight);
    TunnelPacked(advance, turn, canvas);
    return;
  }
#endif
  CrossFadeScalar(weight);
  TunnelScalar(advance, turn, canvas);
}

void DrawGreeting(const GreetingPlacement& placement, std::uint32_t* canvas) {
  const std::uint32_t* picture = Greetings.greetings[placement.picture];
  const int size = 2 * placement.halfSize;
  std::uint32_t* topLeft =
      canvas + (kGreetingCentreRow - placement.halfSize) * kCanvasWidth + kGreetingCentreColumn - placement.halfSize;
  std::uint32_t sourceRow = 0;
  for (int i = 0; i < size; ++i, sourceRow += placement.step) {
    const std::uint32_t* in = picture + (sourceRow >> 16) * 256;
    std::uint32_t* out = topLeft + i * kCanvasWidth;
    std::uint32_t sourceColumn = 0;
    for (int j = 0; j < size; ++j, sourceColumn += placement.step) {
      const std::uint32_t pixel = in[sourceColumn >> 16];
      if (pixel != 0) out[j] = pixel;
    }
  }
}

}  // namespace

void FillGreetingsTables() {
  // 0.31830988614222805 is 1 / 3.141592654; with 256 a half turn spans the texture's width.
  const TunnelTableShape shape{kCanvasHeight, kCanvasWidth, 139.5, 255.5, 7000, 0.31830988614222805, 256};
  FillTunnelTables(shape, Greetings.depth, Greetings.angle);
}

GreetingPlacement PlaceGreeting(std::uint32_t elapsed) {
  GreetingPlacement placement;
  placement.picture = static_cast<int>(std::min<std::uint32_t>(elapsed / kGreetingPeriod, kGreetingCount - 1));
  const double size = std::fabs(7.0 * SinTable[(elapsed / 3) & kTableMask]) + 2.0;
  placement.halfSize = static_cast<int>(256.0 / size);
  // Just under 1/w in 16.16: the last of the 2w steps lands on source pixel 255, never past it.
  placement.step = (1u << 24) / static_cast<std::uint32_t>(2 * placement.halfSize - 1);
  return placement;
}

void DrawGreetingsFrame(std::uint32_t elapsed, std::uint32_t* canvas, PixelPath path) {
  const std::uint32_t weight = static_cast<std::uint32_t>(127.0 * SinTable[(elapsed / 2) & kTableMask] + 128.0);
  // The tunnel turns with the cosine of the time in seconds, smoothly back and forth.
  const std::uint32_t turn =
      static_cast<std::uint32_t>(static_cast<std::int32_t>(300.0 * std::cos(elapsed / 1000.0) + 200.0));
  const std::uint32_t advance = (2 * (elapsed / 8)) & 0xFFu;
  DrawTunnel(weight, advance, turn, canvas, path);
  DrawGreeting(PlaceGreeting(elapsed), canvas);
}

void RenderGreetingsScene(std::uint32_t elapsed, std::uint32_t* canvas) {
  DrawGreetingsFrame(elapsed, canvas, RenderPixelPath);
  CopyCanvas();
}

void SetUpGreetingsScene() {
  Greetings.depth = static_cast<std::int32_t*>(CheckedAlloc(kCanvasBytes));
  Greetings.angle = static_cast<std::int32_t*>(CheckedAlloc(kCanvasBytes));
  Greetings.texture1 = LoadPcx("texture1.pcx");
  Greetings.texture5 = LoadPcx("texture5.pcx");
  Greetings.blend = static_cast<std::uint32_t*>(CheckedAlloc(kTexels * sizeof(std::uint32_t)));
  char name[] = "greet1.pcx";
  for (int i = 0; i < kGreetingCount; ++i) {
    name[5] = static_cast<char>('1' + i);
    Greetings.greetings[i] = LoadPcx(name);
  }
  FillGreetingsTables();
}

// The tables, the first texture and the first six greetings are given back; the rest stays to
// the end of the run.
void CleanUpGreetingsScene() {
  constexpr int kGreetingsGivenBack = 6;
  std::free(Greetings.depth);
  std::free(Greetings.angle);
  std::free(Greetings.texture1);
  Greetings.depth = Greetings.angle = nullptr;
  Greetings.texture1 = nullptr;
  for (int i = 0; i < kGreetingsGivenBack; ++i) {
    std::free(Greetings.greetings[i]);
    Greetings.greetings[i] = nullptr;
  }
}
