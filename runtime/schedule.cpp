#include "runtime/schedule.h"

#include <cstdint>

#include "d3d/device3d.h"
#include "runtime/timeline.h"
#include "scenes/d3d/blob_scene.h"
#include "scenes/d3d/diamond_scene.h"
#include "scenes/d3d/flare_scene.h"
#include "scenes/d3d/mesh_scene.h"
#include "scenes/soft/environment_blobs.h"
#include "scenes/soft/floor_and_ceiling.h"
#include "scenes/soft/framed_tunnel.h"
#include "scenes/soft/greetings_scene.h"
#include "scenes/soft/scroller_scene.h"
#include "scenes/soft/tunnel_field_scene.h"
#include "scenes/soft/warp_scene.h"

namespace {

struct ScheduleEntry {
  RenderOp render;
  std::uint32_t duration;
};

const ScheduleEntry kSchedule[kSlotCount] = {
    {RenderMeshScene, 11000},         // 0: textured mesh over a picture
    {RenderWarpScene, 5000},          // 1: sine-warped texture
    {RenderBlobScene, 20000},         // 2: bulging cube over a wave
    {RenderEnvironmentBlobs, 15000},             // 3: environment-mapped blobs
    {RenderDiamondScene, 14000},      // 4: turning diamond / floor and ceiling
    {RenderFlareScene, 5000},         // 5: twisting bar with flares
    {RenderTunnelFieldScene, 1000},   // 6: four-centre tunnel
    {RenderFlareScene, 5000},         // 7: twisting bar with flares
    {RenderTunnelFieldScene, 1000},   // 8: four-centre tunnel
    {RenderFlareScene, 5000},         // 9: twisting bar with flares
    {RenderWarpScene, 12000},         // 10: sine-warped texture
    {RenderFramedTunnel, 15000},      // 11: framed tunnel with radial blur
    {RenderGreetingsScene, 18000},    // 12: greetings over a rotating tunnel
    {RenderScrollerScene, 20000000},  // 13: end scroller
};

}  // namespace

std::uint32_t SlotDuration(unsigned slot) { return kSchedule[slot].duration; }

void FillSlotTable() {
  for (unsigned i = 0; i < kSlotCount; ++i) {
    SlotTable[i].render = kSchedule[i].render;
    SlotTable[i].duration = kSchedule[i].duration;
  }
}

void SetUpScenes() {
  SetUpBlobScene();
  SetUpFramedTunnel();
  SetUpWarpScene();
  SetUpGreetingsScene();
  SetUpEnvironmentBlobs();
  SetUpTunnelFieldScene();
  SetUpScrollerScene();
  SetUpDiamondScene();
  SetUpFloorAndCeiling();
  SetUpFlareScene();
  SetUpMeshScene();
  Timeline.Create(kSlotCount);
  FillSlotTable();
}

void CleanUpScenes() {
  CleanUpFlareScene();
  CleanUpFloorAndCeiling();
  CleanUpTunnelFieldScene();
  CleanUpWarpScene();
  CleanUpGreetingsScene();
  CleanUpScrollerScene();
  CleanUpEnvironmentBlobs();
  CleanUpMeshScene();
  ReleaseDevice3D();
}
