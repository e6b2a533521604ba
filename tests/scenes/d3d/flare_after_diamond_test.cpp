// The twisting bar's slots draw with the ambient light the slot before left: white once the
// turning diamond has drawn a frame with Direct3D, none while every frame of that slot went to
// the floor and ceiling.
#include <gtest/gtest.h>

#include <vector>

#include "d3d/device3d.h"
#include "music/beat_flags.h"
#include "scenes/d3d/blob_scene.h"
#include "scenes/d3d/diamond_scene.h"
#include "scenes/d3d/flare_scene.h"
#include "scenes/d3d/mesh_scene.h"
#include "tests/scenes/d3d/bulge_flare_fixture.h"

namespace {

class FlareAfterDiamondTest : public bulge_flare::BulgeFlareSceneTest {
 protected:
  void SetUp() override {
    BulgeFlareSceneTest::SetUp();
    OpenDevice();
    SetUpBlobScene();
    SetUpDiamondScene();
    SetUpFlareScene();
    OpeningMesh.texture.load("texture8.pcx");
  }
  void TearDown() override {
    if (Diamond.texture.texture) Diamond.texture.texture->Release();
    Diamond.texture.texture = nullptr;
    BeatFlagB = 0;
    BulgeFlareSceneTest::TearDown();
  }

  // Slot 5's first two frames, the second with the shape the first computed.
  std::vector<std::uint32_t> FlareFrame() {
    RenderFlareScene(14001, nullptr);
    RenderFlareScene(40, nullptr);
    return Screen();
  }
};

TEST_F(FlareAfterDiamondTest, WhiteAmbientOnlyAfterADiamondFrame) {
  // Every frame of slot 4 on the beat: no Direct3D drawing, the ambient level stays 0.
  const std::vector<std::uint32_t> unlitAmbient = FlareFrame();

  BeatFlagB = 0;
  RenderDiamondScene(15001, nullptr);
  const std::vector<std::uint32_t> afterDiamond = FlareFrame();
  EXPECT_NE(afterDiamond, unlitAmbient);

  Device3D->SetLightState(D3DLIGHTSTATE_AMBIENT, 0xFFFFFFFF);
  EXPECT_EQ(FlareFrame(), afterDiamond) << "the diamond left white ambient light, nothing else the bar draws with";
}

}  // namespace
