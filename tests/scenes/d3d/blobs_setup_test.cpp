// The blobs' set-up: the beat flag it clears, the rectangle and transforms it leaves for the 3D
// scenes, the tables and pictures it makes, and what its clean-up gives back.
#include <gtest/gtest.h>

#include <cstdlib>

#include "music/beat_flags.h"
#include "scenes/soft/blobs.h"
#include "tests/scenes/d3d/d3d_scene_test.h"

namespace {

using namespace d3d_test;

class BlobsSetUpTest : public D3DSceneTest {
 protected:
  void TearDown() override {
    CleanUpBlobs();
    std::free(Blobs.blobs);
    std::free(Blobs.overlay);
    Blobs = BlobsScene{};
    BeatFlagB = 0;
    D3DSceneTest::TearDown();
  }
};

TEST_F(BlobsSetUpTest, LeavesTheFlagClearTheRectangleTheTransformsAndItsTables) {
  OpenDevice();
  BeatFlagB = 1;
  SetUpBlobs();
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
  ASSERT_NE(Blobs.distances, nullptr);
  for (int r : {0, 1, 279, 280, 281, 600, 1023})
    for (int c : {0, 511, 512, 513, 1023})
      ASSERT_EQ(Blobs.distances[1024 * r + c], (r - 280) * (r - 280) + (c - 512) * (c - 512)) << r << "," << c;
  for (int i = 0; i < kCanvasWidth * kCanvasHeight; ++i) ASSERT_EQ(Blobs.blobs[i], 0u) << "black until computed";
  EXPECT_TRUE(std::equal(overlay3.begin(), overlay3.end(), Blobs.overlay));
  EXPECT_EQ(Blobs.environment[0], kQuadrants[0][0]);
  EXPECT_EQ(Blobs.environment[256 * 255 + 255], kQuadrants[1][1]);
  // Frozen before the first computation, the overlay alone shows.
  BeatFlagB = 1;
  PaintBlobs(700, canvas.data());
  EXPECT_TRUE(std::equal(overlay3.begin(), overlay3.end(), canvas.begin()));
  CleanUpBlobs();
  EXPECT_EQ(Blobs.distances, nullptr);
  EXPECT_EQ(Blobs.environment, nullptr);
}

TEST_F(BlobsSetUpTest, ATransformRefusedStopsTheSetUpBeforeAnythingIsLoaded) {
  OpenDevice();
  faults::Fail("IDirect3DDevice3::SetTransform", faults::Calls("IDirect3DDevice3::SetTransform") + 2);
  EXPECT_EQ(FatalMessageOf([] { SetUpBlobs(); }), "Unable to set view transform");
  EXPECT_EQ(FullDisplayRect.x2, 512) << "the rectangle comes first";
  EXPECT_EQ(Blobs.distances, nullptr);
  EXPECT_EQ(Blobs.overlay, nullptr);
}

}  // namespace
