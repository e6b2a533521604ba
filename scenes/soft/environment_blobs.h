// Environment-mapped blobs behind an overlay: the scene of slot 3. Two groups of four moving
// points each make a distance field; the two fields pick the column and the row of an
// environment texel, and the picture is combined with an overlay by the brighter channel.
#pragma once

#include <cstdint>

#include "platform/direct3d/d3d.h"

// The whole back buffer, 512 x 384: the clear rectangle of the twisting bar's slots.
extern D3DRECT FullDisplayRect;

inline constexpr int kDistanceTableSide = 1024;
inline constexpr int kDistanceCentreRow = 280;
inline constexpr int kDistanceCentreColumn = 512;

struct EnvironmentBlobsScene {
  std::int32_t* distances = nullptr;  // 1024 x 1024 squared distances from (280, 512)
  std::uint32_t* blobs = nullptr;     // 512 x 280, kept between frames
  std::uint32_t* overlay = nullptr;   // 512 x 280
  std::uint32_t* environment = nullptr;  // 256 x 256
};

extern EnvironmentBlobsScene EnvironmentBlobs;

// A point of a group as the shift (rows, columns) that brings it to the table's centre.
struct EnvironmentBlobShift {
  int y, x;
};

// The four shifts of the column group and the four of the row group at elapsed time a.
struct EnvironmentBlobShifts {
  EnvironmentBlobShift columns[4];
  EnvironmentBlobShift rows[4];
};

EnvironmentBlobShifts EnvironmentBlobShiftsAt(std::uint32_t elapsed);

// Run once by SetUpScenes: the beat sync of instrument 16, the full-display rectangle, the
// transforms of the 3D scenes, then the scene's own tables and pictures.
void SetUpEnvironmentBlobs();
// Recomputes the blob picture for elapsed time a (unless BeatFlagB is set) and combines it with
// the overlay into the canvas.
void PaintEnvironmentBlobs(std::uint32_t elapsed, std::uint32_t* canvas);
// The slot's render operation: paints the frame and copies the canvas out.
void RenderEnvironmentBlobs(std::uint32_t elapsed, std::uint32_t* canvas);
// Run by CleanUpScenes: frees the distance table and the environment texture.
void CleanUpEnvironmentBlobs();
