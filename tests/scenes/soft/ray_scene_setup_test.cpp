// The two ray-cast scenes' set-ups read their members from the package; the planes' clean-up
// gives everything back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "core/canvas.h"
#include "core/tables.h"
#include "scenes/soft/floor_and_ceiling.h"
#include "scenes/soft/framed_tunnel.h"
#include "tests/support/data_files.h"
#include "tools/common/pcx_writer.h"

namespace {

std::vector<std::uint32_t> RandomPixels(std::size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::uint32_t> pixels(count);
  for (std::uint32_t& p : pixels) p = random() & 0x00FFFFFFu;
  return pixels;
}

Bytes PcxOf(const std::vector<std::uint32_t>& picture) { return EncodePcx(picture.data(), 256, 256); }

// Red, green, blue a pixel, as the raw members store them.
Bytes RawOf(const std::vector<std::uint32_t>& picture) {
  Bytes bytes;
  for (std::uint32_t p : picture) {
    bytes.push_back(static_cast<std::uint8_t>(p >> 16));
    bytes.push_back(static_cast<std::uint8_t>(p >> 8));
    bytes.push_back(static_cast<std::uint8_t>(p));
  }
  return bytes;
}

class RaySceneSetUpTest : public PackageTest {
 protected:
  void SetUp() override {
    PackageTest::SetUp();
    ForgetTunnel();
    BuildTables();
  }
  void TearDown() override {
    ForgetTunnel();
    CleanUpFloorAndCeiling();
    FreeTables();
    PackageTest::TearDown();
  }

  // The tunnel keeps its buffers to the end of the run, and a run played earlier in this process
  // left its own: each test starts from none and gives back what it made.
  static void ForgetTunnel() {
    FreeRayGrid(FramedTunnel.grid);
    for (void* block : {static_cast<void*>(FramedTunnel.texture), static_cast<void*>(FramedTunnel.columnTable),
                        static_cast<void*>(FramedTunnel.rowTable), static_cast<void*>(FramedTunnel.upperFrame),
                        static_cast<void*>(FramedTunnel.lowerFrame)})
      std::free(block);
    FramedTunnel = FramedTunnelScene{};
  }

  std::vector<PakMember> Members() {
    return {{"texture5.pcx", PcxOf(tunnelTexture)},
            {"texture7.pcx", PcxOf(planeTexture)},
            {"upperframe.raw", RawOf(upper)},
            {"lowerframe.raw", RawOf(lower)}};
  }

  std::vector<std::uint32_t> tunnelTexture = RandomPixels(256 * 256, 1);
  std::vector<std::uint32_t> planeTexture = RandomPixels(256 * 256, 2);
  std::vector<std::uint32_t> upper = RandomPixels(512 * 50, 3);
  std::vector<std::uint32_t> lower = RandomPixels(512 * 50, 4);
};

TEST_F(RaySceneSetUpTest, TheTunnelGetsItsTextureAndFramesAndDrawsWithThem) {
  OpenMembers(Members());
  SetUpFramedTunnel();
  EXPECT_TRUE(std::equal(tunnelTexture.begin(), tunnelTexture.end(), FramedTunnel.texture));
  EXPECT_TRUE(std::equal(upper.begin(), upper.end(), FramedTunnel.upperFrame));
  EXPECT_TRUE(std::equal(lower.begin(), lower.end(), FramedTunnel.lowerFrame));
  std::vector<std::uint32_t> canvas(kCanvasWidth * kCanvasHeight, 0);
  PaintFramedTunnel(4321, canvas.data(), PixelPath::kPacked);
  EXPECT_TRUE(std::equal(lower.begin(), lower.end(), canvas.begin() + 227 * 512));
}

TEST_F(RaySceneSetUpTest, TheTunnelReadsTextureThenUpperThenLowerFrame) {
  std::vector<PakMember> members = Members();
  members.erase(members.begin() + 2);  // no upper frame
  OpenMembers(members);
  EXPECT_EQ(FatalMessageOf([] { SetUpFramedTunnel(); }), "upperframe.raw");
  EXPECT_NE(FramedTunnel.texture, nullptr);
  EXPECT_EQ(FramedTunnel.lowerFrame, nullptr);
}

TEST_F(RaySceneSetUpTest, ThePlanesGetTheirTextureAndGiveEverythingBack) {
  OpenMembers(Members());
  SetUpFloorAndCeiling();
  EXPECT_TRUE(std::equal(planeTexture.begin(), planeTexture.end(), FloorAndCeiling.texture));
  std::vector<std::uint32_t> canvas(kCanvasWidth * kCanvasHeight, 0xFF000000u);
  PaintFloorAndCeiling(777, canvas.data(), PixelPath::kPacked);
  for (std::uint32_t p : canvas) ASSERT_EQ(p >> 24, 0u);
  CleanUpFloorAndCeiling();
  EXPECT_EQ(FloorAndCeiling.texture, nullptr);
  EXPECT_EQ(FloorAndCeiling.grid.U, nullptr);
}

}  // namespace
