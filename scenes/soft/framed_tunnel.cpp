#include "scenes/soft/framed_tunnel.h"

#include <cmath>
#include <cstring>

#include "data/pcx_loader.h"
#include "data/raw_loaders.h"
#include "display/present.h"
#include "music/beat_flags.h"
#include "music/music.h"
#include "core/canvas.h"
#include "core/errors.h"
#include "core/tables.h"
#include "core/truncate.h"
#include "scenes/soft/radial_blur.h"

FramedTunnelScene FramedTunnel;

namespace {

constexpr int kBeatInstrument = 1;

}  // namespace

void SetUpFramedTunnel() {
  RegisterBeatSync(kBeatInstrument, ToggleBeatFlagAOnNote);
  FramedTunnel.texture = LoadPcx("texture5.pcx");
  AllocateRayGrid(FramedTunnel.grid, kTunnelGridRows);
  FramedTunnel.columnTable = static_cast<std::int32_t*>(CheckedAlloc(kTunnelAreaWidth * sizeof(std::int32_t)));
  FramedTunnel.rowTable = static_cast<std::int32_t*>(CheckedAlloc(kTunnelAreaRows * sizeof(std::int32_t)));
  FramedTunnel.upperFrame = LoadRgbRawStrip("upperframe.raw");
  FramedTunnel.lowerFrame = LoadRgbRawStrip("lowerframe.raw");
}

RayNode CastTunnelRay(const TurnedRay& ray, float halfWidth) {
  const bool alongD1 = std::fabs(ray.d[1]) > std::fabs(ray.d[0]);
  const float major = alongD1 ? ray.d[1] : ray.d[0];
  const float minor = alongD1 ? ray.d[0] : ray.d[1];
  const float s = major >= 0.0f ? halfWidth : -halfWidth;
  // A ray with major component -1 divides by zero; the checked conversion keeps it defined.
  const float t = s / (major + 1.0f);
  const float across = std::fabs(t * minor);
  const float depth = std::fabs(100.0f * t);
  const float fog = std::fabs(17.0f * t);
  return RayNode{static_cast<std::uint32_t>(TruncateToInt32(across)),
                 static_cast<std::uint32_t>(TruncateToInt32(depth)),
                 static_cast<std::uint32_t>(TruncateToInt32(fog))};
}

namespace {

void CopyFrame(const std::uint32_t* frame, std::uint32_t* canvas, int firstRow) {
  std::memcpy(canvas + firstRow * kCanvasWidth, frame, sizeof(std::uint32_t) * kCanvasWidth * kFrameRows);
}

}  // namespace

void PaintFramedTunnel(std::uint32_t elapsed, std::uint32_t* canvas, PixelPath path) {
  const float halfWidth = BeatFlagA.load(std::memory_order_relaxed) != 0 ? 250.0f : 300.0f;
  CopyFrame(FramedTunnel.upperFrame, canvas, 0);

  RotationMatrix view;
  BuildViewMatrix(view, static_cast<std::int32_t>(90.0f * SinTable[(elapsed / 3) & kTableMask]),
                  static_cast<std::int32_t>(-100.0f * SinTable[(elapsed / 4) & kTableMask]),
                  static_cast<std::int32_t>(elapsed / 2));
  CastRayGrid(FramedTunnel.grid, view, kTunnelCentreRow, kTunnelLastRow,
              [halfWidth](const TurnedRay& ray) { return CastTunnelRay(ray, halfWidth); });
  RefineRayGrid(FramedTunnel.grid, kTunnelLastRow);
  std::uint32_t* tunnel = canvas + kTunnelTopRow * kCanvasWidth;
  FillFromRayGrid(FramedTunnel.grid, FramedTunnel.texture, static_cast<std::int32_t>(elapsed / 4),
                  kTunnelDrawnRows, tunnel, path);

  // The flag is read again: a beat between the two reads blurs a tunnel of the old width.
  if (BeatFlagA.load(std::memory_order_relaxed) != 0) {
    const BlurSplit split = ComputeBlurTables(elapsed, FramedTunnel.columnTable, FramedTunnel.rowTable);
    ApplyRadialBlur(tunnel, FramedTunnel.columnTable, FramedTunnel.rowTable, split, path);
  }
  CopyFrame(FramedTunnel.lowerFrame, canvas, kLowerFrameTopRow);
}

void RenderFramedTunnel(std::uint32_t elapsed, std::uint32_t* canvas) {
  PaintFramedTunnel(elapsed, canvas, RenderPixelPath);
  CopyCanvas();
}
