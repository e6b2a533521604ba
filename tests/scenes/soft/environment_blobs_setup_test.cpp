// The blobs' set-up: the beat flag it clears, the rectangle and transforms it leaves for the 3D
// scenes, the tables and pictures it makes, and what its clean-up gives back.
#include <gtest/gtest.h>

#include <cstdlib>

#include "music/beat_flags.h"
#include "scenes/soft/environment_blobs.h"
#include "tests/scenes/d3d/d3d_scene_test.h"

namespace {

using namespace d3d_test;

class EnvironmentBlobsSetUpTest : public D3DSceneTest {
 protected:
  void SetUp() override {
    D3DSceneTest::SetUp();
    Forget();
    FullDisplayRect = D3DRECT{};
  }
  void TearDown() override {
    Forget();
    BeatFlagB = 0;
    D3DSceneTest::TearDown();
  }

  // The scene keeps its picture and overlay to the end of the run, and a run played earlier in
  // this process left its own: each test starts from none and gives back what it made.
  static void Forget() {
    CleanUpEnvironmentBlobs();
    std::free(EnvironmentBlobs.blobs);
    std::free(EnvironmentBlobs.overlay);
    EnvironmentBlobs = EnvironmentBlobsScene{};
  }
};

TEST_F(EnvironmentBlobsSetUpTest, LeavesTheFlagClearTheRectangleTheTransformsAndItsTables) {
  OpenDevice();
  BeatFlagB = 1;
  SetUpEnvironmentBlobs();
  EXPECT_EQ(BeatFlagB, 0);
  EXPECT_EQ(FullDisplayRect.x1, 0);
  EXPECT_EQ(FullDisplayRect.y1, 0);
  EXPECT_EQ(FullDisplayRect.x2, 512);
  EXPECT_EQ(FullDisplayRect.y2, 384);
  D3DMATRIX view{}, projection{};
  Device3D->GetTransform(D3DTRANSFORMSTATE_VIEW, &view);
  Device3D->GetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
  EXPECT_EQ(view._43, -10.0f);
  EXPECT_EQ(projection._11, 2.0f);
  EXPECT_EQ(projection._34, 1.0f);
  EXPECT_EQ(projection._44, 0.0f);
  ASSERT_NE(EnvironmentBlobs.distances, nullptr);
  for (int r : {0, 1, 279, 280, 281, 600, 1023})
    for (int c : {0, 511, 512, 513, 1023})
      ASSERT_EQ(EnvironmentBlobs.distances[1024 * r + c], (r - 280) * (r - 280) + (c - 512) * (c - 512)) << r << "," << c;
  for (int i = 0; i < kCanvasWidth * kCanvasHeight; ++i) ASSERT_EQ(EnvironmentBlobs.blobs[i], 0u) << "black until computed";
  EXPECT_TRUE(std::equal(overlay3.begin(), overlay3.end(), EnvironmentBlobs.overlay));
  EXPECT_EQ(EnvironmentBlobs.environment[0], kQuadrants[0][0]);
  EXPECT_EQ(EnvironmentBlobs.environment[256 * 255 + 255], kQuadrants[1][1]);
  // Frozen before the first computation, the overlay alone shows.
  BeatFlagB = 1;
  PaintEnvironmentBlobs(700, canvas.data());
  EXPECT_TRUE(std::equal(overlay3.begin(), overlay3.end(), canvas.begin()));
  CleanUpEnvironmentBlobs();
  EXPECT_EQ(EnvironmentBlobs.distances, nullptr);
  EXPECT_EQ(EnvironmentBlobs.environment, nullptr);
}

TEST_F(EnvironmentBlobsSetUpTest, ATransformRefusedStopsTheSetUpBeforeAnythingIsLoaded) {
  OpenDevice();
  faults::Fail("IDirect3DDevice3::SetTransform", faults::Calls("IDirect3DDevice3::SetTransform") + 2);
  EXPECT_EQ(FatalMessageOf([] { SetUpEnvironmentBlobs(); }), "Unable to set view transform");
  EXPECT_EQ(FullDisplayRect.x2, 512) << "the rectangle comes first";
  EXPECT_EQ(EnvironmentBlobs.distances, nullptr);
  EXPECT_EQ(EnvironmentBlobs.overlay, nullptr);
}

}  // namespace
