// The transform toolkit: rotations from the tables, the world transform, the fixed camera and
// projection, and where the projection puts points on the letterboxed display.
#include <gtest/gtest.h>

#include <cstring>

#include "d3d/device3d.h"
#include "d3d/transforms.h"
#include "platform/direct3d/pipeline/vertex_processing.h"
#include "platform/direct3d/pipeline/viewport_mapping.h"
#include "core/errors.h"
#include "core/tables.h"
#include "tests/support/headless.h"
#include "tests/support/soft_device.h"

namespace {

bool SameMatrix(const D3DMATRIX& a, const D3DMATRIX& b) { return std::memcmp(&a, &b, sizeof(a)) == 0; }

class TransformsTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    BuildTables();
    device = std::make_unique<SoftDevice>(SoftDeviceOptions{512, 384, 32, 32});
    D3DVIEWPORT2 viewport = PictureViewport();
    EXPECT_EQ(device->viewport->SetViewport2(&viewport), D3D_OK);
    Device3D = device->device;
  }
  void TearDown() override {
    Device3D = nullptr;
    device.reset();
    FreeTables();
    HeadlessTest::TearDown();
  }

  D3DMATRIX Get(D3DTRANSFORMSTATETYPE state) {
    D3DMATRIX m;
    EXPECT_EQ(Device3D->GetTransform(state, &m), D3D_OK);
    return m;
  }

  // Where a world-space point lands through the device's transforms: column, row and depth on
  // the display.
  ScreenVertex Place(float x, float y, float z) {
    const VertexSetup setup = MakeVertexSetup(ToMatrix4(Get(D3DTRANSFORMSTATE_WORLD)), ToMatrix4(Get(D3DTRANSFORMSTATE_VIEW)),
                                              ToMatrix4(Get(D3DTRANSFORMSTATE_PROJECTION)), nullptr);
    const float position[3] = {x, y, z};
    VertexStreams streams;
    streams.position = reinterpret_cast<const std::uint8_t*>(position);
    streams.positionStride = sizeof(position);
    ClipVertex clip;
    TransformVertices(streams, 1, setup, &clip);
    ViewportMapping mapping;
    EXPECT_TRUE(MakeViewportMapping(PictureViewport(), 512, 384, &mapping));
    return ToScreen(clip, mapping);
  }

  std::string FatalText(void (*operation)()) {
    try {
      operation();
    } catch (const FatalErrorExit& exit) {
      return exit.message;
    }
    return "";
  }

  std::unique_ptr<SoftDevice> device;
};

TEST_F(TransformsTest, RotationsWriteTheirFourMembersFromTheTables) {
  D3DMATRIX m;
  SetIdentity(m);
  RotationX(m, 100);
  EXPECT_EQ(m._22, CosTable[100]);
  EXPECT_EQ(m._23, SinTable[100]);
  EXPECT_EQ(m._32, -SinTable[100]);
  EXPECT_EQ(m._33, CosTable[100]);
  EXPECT_EQ(m._11, 1.0f);
  EXPECT_EQ(m._44, 1.0f);
  SetIdentity(m);
  RotationY(m, 300);
  EXPECT_EQ(m._11, CosTable[300]);
  EXPECT_EQ(m._13, -SinTable[300]);
  EXPECT_EQ(m._31, SinTable[300]);
  EXPECT_EQ(m._33, CosTable[300]);
  SetIdentity(m);
  RotationZ(m, -1);
  EXPECT_EQ(m._11, CosTable[1023]);
  EXPECT_EQ(m._12, SinTable[1023]);
  EXPECT_EQ(m._21, -SinTable[1023]);
  EXPECT_EQ(m._22, CosTable[1023]);
}

TEST_F(TransformsTest, ComposeRotationsMultipliesInOrderAndKeepsTheIdentityRim) {
  D3DMATRIX p, q, r, result;
  RotationX(SetIdentity(p), 37);
  RotationY(SetIdentity(q), 411);
  RotationZ(SetIdentity(r), 900);
  // Rim values that must not leak into the 3x3 or survive into the result.
  p._41 = 5.0f;
  q._14 = 7.0f;
  ComposeRotations(result, p, q, r);
  const D3DMATRIX* in[3] = {&p, &q, &r};
  float a[3][4][4];
  for (int k = 0; k < 3; ++k) std::memcpy(a[k], in[k], sizeof(D3DMATRIX));
  float out[4][4];
  std::memcpy(out, &result, sizeof(result));
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      // T = P Q with four-term sums (the rim of Q counts), then U = T R with T's identity rim.
      float t[3];
      for (int m = 0; m < 3; ++m) {
        t[m] = a[0][i][0] * a[1][0][m] + a[0][i][1] * a[1][1][m] + a[0][i][2] * a[1][2][m] + a[0][i][3] * a[1][3][m];
      }
      const float expected = t[0] * a[2][0][j] + t[1] * a[2][1][j] + t[2] * a[2][2][j] + 0.0f * a[2][3][j];
      EXPECT_FLOAT_EQ(out[i][j], expected) << i << j;
    }
  }
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(out[i][3], i == 3 ? 1.0f : 0.0f);
    EXPECT_EQ(out[3][i], i == 3 ? 1.0f : 0.0f);
  }
}

TEST_F(TransformsTest, RotateWorldWrapsItsAnglesAndTurnsYOntoZ) {
  D3DMATRIX identity;
  SetIdentity(identity);
  RotateWorld(0, 0, 0);
  EXPECT_TRUE(SameMatrix(Get(D3DTRANSFORMSTATE_WORLD), identity));
  RotateWorld(1024, 2048, -1024);
  EXPECT_TRUE(SameMatrix(Get(D3DTRANSFORMSTATE_WORLD), identity));
  RotateWorld(-1, 0, 0);
  const D3DMATRIX minusOne = Get(D3DTRANSFORMSTATE_WORLD);
  RotateWorld(1023, 0, 0);
  EXPECT_TRUE(SameMatrix(Get(D3DTRANSFORMSTATE_WORLD), minusOne));
  RotateWorld(256, 0, 0);
  const D3DMATRIX quarter = Get(D3DTRANSFORMSTATE_WORLD);
  EXPECT_EQ(quarter._21, 0.0f);
  EXPECT_EQ(quarter._22, CosTable[256]);
  EXPECT_EQ(quarter._23, 1.0f);
  EXPECT_EQ(quarter._24, 0.0f);
  EXPECT_EQ(quarter._41, 0.0f);
  EXPECT_EQ(quarter._42, 0.0f);
  EXPECT_EQ(quarter._43, 0.0f);
}

TEST_F(TransformsTest, TranslateWorldReplacesOnlyThePosition) {
  RotateWorld(100, 200, 300);
  const D3DMATRIX rotation = Get(D3DTRANSFORMSTATE_WORLD);
  TranslateWorld(1.5f, -2.0f, 600.0f);
  TranslateWorld(90.0f, 30.0f, 600.0f);
  D3DMATRIX expected = rotation;
  expected._41 = 90.0f;
  expected._42 = 30.0f;
  expected._43 = 600.0f;
  EXPECT_TRUE(SameMatrix(Get(D3DTRANSFORMSTATE_WORLD), expected));
  // RotateWorld puts the position back to zero.
  RotateWorld(100, 200, 300);
  EXPECT_TRUE(SameMatrix(Get(D3DTRANSFORMSTATE_WORLD), rotation));
}

TEST_F(TransformsTest, TranslateWorldWhoseReadFailsKeepsNoGarbage) {
  RotateWorld(100, 0, 0);
  faults::Fail("IDirect3DDevice3::GetTransform", faults::Calls("IDirect3DDevice3::GetTransform") + 1);
  TranslateWorld(1.0f, 2.0f, 3.0f);
  D3DMATRIX expected;
  SetIdentity(expected);
  expected._41 = 1.0f;
  expected._42 = 2.0f;
  expected._43 = 3.0f;
  EXPECT_TRUE(SameMatrix(Get(D3DTRANSFORMSTATE_WORLD), expected));
}

// The eye sits at world z = 10, so world z = 12 is two units in front of it; a world rotated
// before InitTransforms is put back to the identity.
TEST_F(TransformsTest, ProjectionPutsPointsOnTheLetterboxEdgesAndDepthsOnTheNearPlane) {
  RotateWorld(5, 6, 7);
  InitTransforms();
  const ScreenVertex right = Place(1.0f, 0.0f, 12.0f);
  EXPECT_EQ(right.x, 512.0f);
  EXPECT_EQ(right.y, 192.0f);
  const ScreenVertex top = Place(0.0f, 0.5f, 12.0f);
  EXPECT_EQ(top.x, 256.0f);
  EXPECT_EQ(top.y, 52.0f);
  EXPECT_EQ(Place(0.0f, -0.5f, 12.0f).y, 332.0f);
  EXPECT_EQ(Place(-1.0f, 0.0f, 12.0f).x, 0.0f);
  EXPECT_EQ(Place(0.0f, 0.0f, 11.0f).z, 0.0f);
  EXPECT_EQ(Place(0.0f, 0.0f, 12.0f).z, 0.5f);
  EXPECT_FLOAT_EQ(Place(0.0f, 0.0f, 1010.0f).z, 0.999f);
}

TEST_F(TransformsTest, TheTopOfThePictureAreaIsDrawnAndTheRowAboveIsNot) {
  InitTransforms();
  // A world triangle whose top edge runs at camera-space y = 0.5 at z = 2 (world z = 12): a top
  // edge, so the pixel centres on it are drawn.
  D3DVERTEX v[3] = {};
  const float corners[3][2] = {{-0.2f, 0.5f}, {0.2f, 0.5f}, {0.0f, 0.3f}};
  for (int i = 0; i < 3; ++i) {
    v[i].x = corners[i][0];
    v[i].y = corners[i][1];
    v[i].z = 12.0f;
    v[i].nz = -1.0f;
  }
  std::memset(device->target->Pixels(), 0x55, static_cast<std::size_t>(device->target->Pitch()) * 384);
  device->Clear();
  ASSERT_EQ(device->Draw(D3DPT_TRIANGLELIST, {v[0], v[1], v[2]}), D3D_OK);
  EXPECT_EQ(device->Pixel(256, 52), 0xFFFFFFu) << "the top edge lies on the area's first row";
  EXPECT_EQ(device->Pixel(256, 51), 0x555555u) << "nothing above the area is touched";
  EXPECT_EQ(device->Pixel(256, 53), 0xFFFFFFu);
}

TEST_F(TransformsTest, EveryFailureHasItsMessage) {
  const char* setTransform = "IDirect3DDevice3::SetTransform";
  faults::Fail(setTransform, faults::Calls(setTransform) + 1);
  EXPECT_EQ(FatalText([] { RotateWorld(1, 2, 3); }), "Unable to rotate world");
  const char* messages[3] = {"Unable to set world transform", "Unable to set view transform",
                             "Unable to set project transform"};
  for (unsigned n = 0; n < 3; ++n) {
    faults::Fail(setTransform, faults::Calls(setTransform) + n + 1);
    EXPECT_EQ(FatalText(InitTransforms), messages[n]);
  }
  // TranslateWorld examines nothing.
  faults::Fail(setTransform, faults::Calls(setTransform) + 1, 0);
  EXPECT_EQ(FatalText([] { TranslateWorld(1, 2, 3); }), "");
}

}  // namespace
