#include "scenes/soft/environment_blobs.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "d3d/transforms.h"
#include "data/pcx_loader.h"
#include "data/raw_loaders.h"
#include "display/present.h"
#include "music/beat_flags.h"
#include "music/music.h"
#include "core/canvas.h"
#include "core/errors.h"
#include "core/row_bands.h"
#include "core/tables.h"

D3DRECT FullDisplayRect{};
EnvironmentBlobsScene EnvironmentBlobs;

namespace {

constexpr int kBeatInstrument = 16;
constexpr int kEnvironmentSide = 256;

double Sin(std::uint32_t index) { return SinTable[index & kTableMask]; }
double Cos(std::uint32_t index) { return CosTable[index & kTableMask]; }
int Trunc(double value) { return static_cast<int>(value); }

void FillDistanceTable(std::int32_t* table) {
  for (int r = 0; r < kDistanceTableSide; ++r) {
    const std::int32_t dr = r - kDistanceCentreRow;
    for (int c = 0; c < kDistanceTableSide; ++c) {
      const std::int32_t dc = c - kDistanceCentreColumn;
      table[kDistanceTableSide * r + c] = dr * dr + dc * dc;
    }
  }
}

// The environment index of a group: 255 right at one of its points, falling with the product of
// the four distances, 0 from 255 / 5e-7 on.
int GroupIndex(double d0, double d1, double d2, double d3) {
  const int index = Trunc(255.0 - std::sqrt(d0 * d1 * d2 * d3) * 5e-7);
  return index < 0 ? 0 : index;
}

// Rows [firstRow, endRow) of the blob picture.
void ComputeBlobRows(const EnvironmentBlobShifts& shifts, int firstRow, int endRow) {
  const std::int32_t* columns[4];
  const std::int32_t* rows[4];
  for (int p = 0; p < 4; ++p) {
    columns[p] = EnvironmentBlobs.distances + kDistanceTableSide * shifts.columns[p].y + shifts.columns[p].x;
    rows[p] = EnvironmentBlobs.distances + kDistanceTableSide * shifts.rows[p].y + shifts.rows[p].x;
  }
  std::uint32_t* out = EnvironmentBlobs.blobs + kCanvasWidth * firstRow;
  for (int r = firstRow; r < endRow; ++r) {
    const int line = kDistanceTableSide * r;
    for (int c = 0; c < kCanvasWidth; ++c) {
      const int at = line + c;
      const int h1 = GroupIndex(columns[0][at], columns[1][at], columns[2][at], columns[3][at]);
      const int h2 = GroupIndex(rows[0][at], rows[1][at], rows[2][at], rows[3][at]);
      *out++ = EnvironmentBlobs.environment[kEnvironmentSide * h2 + h1];
    }
  }
}

std::uint32_t BrighterBytes(std::uint32_t a, std::uint32_t b) {
  std::uint32_t result = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const std::uint32_t x = (a >> shift) & 0xFFu, y = (b >> shift) & 0xFFu;
    result |= (x > y ? x : y) << shift;
  }
  return result;
}

}  // namespace

EnvironmentBlobShifts EnvironmentBlobShiftsAt(std::uint32_t a) {
  const double s2 = Sin(a / 2), c2 = Cos(a / 2), s3 = Sin(a / 3), c3 = Cos(a / 3), s5 = Sin(a / 5);
  const int y1 = 140 - Trunc(139.5 * c3), x1 = 256 - Trunc(-255.5 * s5);
  const int ya = Trunc(140.0 - 139.5 * c3), yb = 140 - Trunc(140.0 * c3), yc = Trunc(139.5 * c2 + 140.0);
  const int xa = Trunc(255.5 * s3 + 256.0), xb = Trunc(256.0 - 255.5 * s2);
  return EnvironmentBlobShifts{{{y1, x1}, {ya, xa}, {yb, xa}, {yc, xb}}, {{y1, xa}, {yb, x1}, {ya, xb}, {yc, xa}}};
}

void SetUpEnvironmentBlobs() {
  // The blobs freeze on the beats of their instrument; the flag starts clear whatever came before.
  BeatFlagB = 0;
  RegisterBeatSync(kBeatInstrument, ToggleBeatFlagBOnNote);
  FullDisplayRect = D3DRECT{{0}, {0}, {kCanvasWidth}, {384}};
  InitTransforms();
  EnvironmentBlobs.distances = static_cast<std::int32_t*>(
      CheckedAlloc(sizeof(std::int32_t) * kDistanceTableSide * kDistanceTableSide));
  EnvironmentBlobs.blobs = static_cast<std::uint32_t*>(CheckedAlloc(kCanvasBytes));
  // Shown as it is if the beat has frozen the picture before its first computation: black, so
  // that the overlay alone shows rather than whatever the memory held.
  std::memset(EnvironmentBlobs.blobs, 0, kCanvasBytes);
  EnvironmentBlobs.overlay = LoadRgbRawScreen("overlay3.raw");
  EnvironmentBlobs.environment = LoadPcx("env1.pcx");
  FillDistanceTable(EnvironmentBlobs.distances);
}

void PaintEnvironmentBlobs(std::uint32_t elapsed, std::uint32_t* canvas) {
  const bool moving = BeatFlagB.load(std::memory_order_relaxed) == 0;
  const EnvironmentBlobShifts shifts = EnvironmentBlobShiftsAt(elapsed);
  // A row of the blobs depends on nothing but the shifts, and a canvas row on the same row of the
  // blobs and the overlay, so each band computes its rows and combines them at once.
  PaintRowBands(kCanvasHeight, [&](int firstRow, int endRow) {
    if (moving) ComputeBlobRows(shifts, firstRow, endRow);
    // The overlay copied in and then combined: one pass gives the same pixels.
    for (int i = kCanvasWidth * firstRow; i < kCanvasWidth * endRow; ++i)
      canvas[i] = BrighterBytes(EnvironmentBlobs.overlay[i], EnvironmentBlobs.blobs[i]);
  });
}

void RenderEnvironmentBlobs(std::uint32_t elapsed, std::uint32_t* canvas) {
  PaintEnvironmentBlobs(elapsed, canvas);
  CopyCanvas();
}

void CleanUpEnvironmentBlobs() {
  std::free(EnvironmentBlobs.distances);
  EnvironmentBlobs.distances = nullptr;
  std::free(EnvironmentBlobs.environment);
  EnvironmentBlobs.environment = nullptr;
}
