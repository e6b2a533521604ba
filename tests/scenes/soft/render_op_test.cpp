// The software scenes' render operations on an open display: each frame lands in the
// picture area, and no frame allocates.
#include <cstring>

#include "display/display.h"
#include "runtime/entry.h"
#include "runtime/timeline.h"
#include "scenes/soft/floor_and_ceiling.h"
#include "scenes/soft/framed_tunnel.h"
#include "scenes/soft/greetings_scene.h"
#include "scenes/soft/scroller_scene.h"
#include "scenes/soft/tunnel_field_scene.h"
#include "scenes/soft/warp_scene.h"
#include "tests/scenes/soft/soft_scene_test.h"
#include "tests/support/allocation_log.h"
#include "tests/support/headless.h"
#include "tests/support/main_window.h"

namespace {

using namespace soft_test;

class RenderOpTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    BuildTables();
    canvas.assign(kCanvasWidth * kCanvasHeight, 0);
    Canvas = canvas.data();
    OpenMainDisplay(false);

    Warp.texture5 = Warp.texture6 = texture.data();
    Warp.overlay = screen.data();
    for (std::uint32_t*& text : Warp.texts) text = grey.data();
    TunnelField = TunnelFieldScene{texture.data(), fieldDepth.data(), fieldAngle.data()};
    FillTunnelFieldTables();
    Greetings.depth = depth.data();
    Greetings.angle = angle.data();
    Greetings.texture1 = Greetings.texture5 = texture.data();
    Greetings.blend = blend.data();
    for (std::uint32_t*& greeting : Greetings.greetings) greeting = texture.data();
    FillGreetingsTables();
    Scroller = ScrollerScene{screen.data(), grey.data()};
    AllocateRayGrid(FramedTunnel.grid, kTunnelGridRows);
    FramedTunnel.texture = texture.data();
    FramedTunnel.columnTable = blurColumns.data();
    FramedTunnel.rowTable = blurRows.data();
    FramedTunnel.upperFrame = FramedTunnel.lowerFrame = screen.data();
    AllocateRayGrid(FloorAndCeiling.grid, kPlaneGridRows);
    FloorAndCeiling.texture = texture.data();
  }
  void TearDown() override {
    Warp = WarpScene{};
    TunnelField = TunnelFieldScene{};
    Greetings = GreetingsScene{};
    Scroller = ScrollerScene{};
    FreeRayGrid(FramedTunnel.grid);
    FramedTunnel = FramedTunnelScene{};
    FreeRayGrid(FloorAndCeiling.grid);
    FloorAndCeiling = FloorAndCeilingScene{};
    ReleaseDisplay();
    FreeTables();
    HeadlessTest::TearDown();
  }

  Picture canvas;
  Picture texture = RandomPicture(256 * 256, 3);
  Picture screen = RandomPicture(kCanvasWidth * kCanvasHeight, 4);
  Picture grey = RandomGreyPicture(320 * 1120, 5);
  Picture blend = Picture(256 * 256);
  std::vector<std::int32_t> fieldDepth = std::vector<std::int32_t>(560 * 1024);
  std::vector<std::int32_t> fieldAngle = std::vector<std::int32_t>(560 * 1024);
  std::vector<std::int32_t> depth = std::vector<std::int32_t>(kCanvasWidth * kCanvasHeight);
  std::vector<std::int32_t> angle = std::vector<std::int32_t>(kCanvasWidth * kCanvasHeight);
  std::vector<std::int32_t> blurColumns = std::vector<std::int32_t>(512);
  std::vector<std::int32_t> blurRows = std::vector<std::int32_t>(180);
};

TEST_F(RenderOpTest, EachFrameLandsInThePictureAreaWithoutAllocating) {
  const struct {
    RenderOp render;
    unsigned number;
  } slots[] = {{RenderWarpScene, 2},         {RenderTunnelFieldScene, 7}, {RenderWarpScene, 11},
               {RenderGreetingsScene, 13}, {RenderScrollerScene, 14}, {RenderFramedTunnel, 12},
               {DrawFloorAndCeiling, 5}};
  for (const auto& slot : slots) {
    Timeline.number = static_cast<std::uint8_t>(slot.number);
    // The first frame may touch memory for the first time; the frames after it count.
    slot.render(1, Canvas);
    allocation_log::Start();
    for (std::uint32_t a = 0; a < 20000; a += 1234) slot.render(a, Canvas);
    allocation_log::Stop();
    EXPECT_EQ(allocation_log::Allocations(), 0u) << "slot number " << slot.number;
    // The scalar path, asked for by a measurement, draws the same frame.
    RenderPixelPath = PixelPath::kScalar;
    slot.render(4321, Canvas);
    const Picture scalar = canvas;
    RenderPixelPath = PixelPath::kPacked;
    slot.render(4321, Canvas);
    EXPECT_TRUE(SameFrame(scalar.data(), Canvas)) << "slot number " << slot.number;
    // The last frame is in the back buffer's rows 52 to 331.
    for (int row = 0; row < kCanvasHeight; row += 31) {
      EXPECT_EQ(std::memcmp(BackBuffer->Pixels() + (52 + row) * BackBuffer->Pitch(), Canvas + row * kCanvasWidth,
                            kCanvasWidth * 4),
                0)
          << "slot number " << slot.number << ", row " << row;
    }
  }
}

}  // namespace
