// Draws split over the worker pool give the bytes one thread gives: at 2, 3, 4 and 8 threads and
// every target depth, for triangles across the corners and edges of the row bands, depth and
// blending across bands, and a clear between draws; the pool can go right after a draw, and a
// warm device allocates nothing.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support/allocation_log.h"
#include "tests/support/headless.h"
#include "tests/support/soft_device.h"
#include "tests/support/worker_threads.h"
#include "tools/drawing/layer_scene.h"

namespace {

using ParallelDrawTest = HeadlessTest;

constexpr int kThreadCounts[] = {2, 3, 4, 8};

struct Picture {
  std::vector<std::uint8_t> colour, depth;
  bool operator==(const Picture&) const = default;
};

Picture Read(IDirectDrawSurface4* target, IDirectDrawSurface4* depth, int height) {
  Picture picture;
  picture.colour.assign(target->Pixels(), target->Pixels() + static_cast<std::size_t>(target->Pitch()) * height);
  if (depth != nullptr) picture.depth.assign(depth->Pixels(), depth->Pixels() + static_cast<std::size_t>(depth->Pitch()) * height);
  return picture;
}

// Draws, on a 96 x 80 target (bands of 16 rows: band edges at rows 16, 32, 48, 64):
// - 400 overlapping textured triangles with perspective, depth-tested, in one draw large enough
//   to be split into pieces;
// - a fan of slivers meeting at the band corner (40, 32), and two triangles of one pixel each, on
//   the last row of one band and the first of the next;
// - a clear across three bands, then a blended layer over everything.
Picture DrawScenes(const SoftDeviceOptions& options) {
  SoftDevice d(options);
  d.device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
  IDirect3DTexture2* texture = d.MakeTexture(16, 16, [](int x, int y) {
    return 0xFF000000u | static_cast<std::uint32_t>(x * 16) << 16 | static_cast<std::uint32_t>(y * 16) << 8 |
           static_cast<std::uint32_t>((x ^ y) * 16);
  });
  d.device->SetTexture(0, texture);
  d.device->SetRenderState(D3DRENDERSTATE_TEXTUREMAG, D3DFILTER_LINEAR);

  std::mt19937 random(7);
  std::uniform_real_distribution<float> px(-20.0f, 116.0f), py(-20.0f, 100.0f), z(0.05f, 0.95f), uv(-1.0f, 2.0f);
  std::vector<D3DVERTEX> many;
  for (int i = 0; i < 3 * 400; ++i) many.push_back(d.At(px(random), py(random), z(random), uv(random), uv(random)));
  // Some vertices behind the eye or far outside, so that clipping makes fans in the pieces too.
  for (int i = 0; i < 60; i += 3) many[i].z = -0.5f;
  EXPECT_EQ(d.Draw(D3DPT_TRIANGLELIST, many), D3D_OK);

  std::vector<D3DVERTEX> corner;
  for (int i = 0; i < 24; ++i) {
    const float a = 0.2618f * i, b = a + 0.05f;
    corner.push_back(d.At(40.0f, 32.0f, 0.01f, 0.5f, 0.5f));
    corner.push_back(d.At(40.0f + 30.0f * std::cos(a), 32.0f + 30.0f * std::sin(a), 0.01f, 0.0f, 1.0f));
    corner.push_back(d.At(40.0f + 30.0f * std::cos(b), 32.0f + 30.0f * std::sin(b), 0.01f, 1.0f, 0.0f));
  }
  EXPECT_EQ(d.Draw(D3DPT_TRIANGLELIST, corner), D3D_OK);

  D3DRECT band{};
  band.x1 = 10;
  band.y1 = 20;
  band.x2 = 60;
  band.y2 = 55;
  EXPECT_EQ(d.viewport->Clear(1, &band, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER), D3D_OK);
  d.device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
  d.device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
  d.device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_DESTCOLOR);
  std::vector<D3DVERTEX> layer;
  for (int i = 0; i < 3 * 40; ++i) layer.push_back(d.At(px(random), py(random), z(random), uv(random), uv(random)));
  EXPECT_EQ(d.Draw(D3DPT_TRIANGLESTRIP, layer), D3D_OK);

  // Last, white and unblended: one pixel at (70, 15), one at (70, 16).
  d.device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
  d.device->SetTexture(0, nullptr);
  std::vector<D3DVERTEX> pixels;
  for (const float row : {15.0f, 16.0f}) {
    pixels.push_back(d.At(69.6f, row - 0.4f, 0.0f));
    pixels.push_back(d.At(70.6f, row + 0.4f, 0.0f));
    pixels.push_back(d.At(69.6f, row + 0.4f, 0.0f));
  }
  EXPECT_EQ(d.Draw(D3DPT_TRIANGLELIST, pixels), D3D_OK);
  return Read(d.target, d.depth, d.Height());
}

TEST_F(ParallelDrawTest, EveryThreadCountDrawsTheBytesOneThreadDraws) {
  for (DWORD colourBits : {32u, 24u, 16u}) {
    for (DWORD depthBits : {32u, 16u}) {
      const SoftDeviceOptions options{96, 80, colourBits, depthBits};
      Picture alone;
      {
        ScopedWorkerThreads one(1);
        alone = DrawScenes(options);
      }
      // The pictures are not trivial: the one-pixel triangles are there, on both sides of the band
      // edge, and the blended layer reached into the cleared rectangle.
      SoftDevice probe(options);
      std::memcpy(probe.target->Pixels(), alone.colour.data(), alone.colour.size());
      const std::uint32_t white = colourBits == 16 ? 0xF8FCF8u : 0xFFFFFFu;
      EXPECT_EQ(probe.Pixel(70, 15), white) << colourBits;
      EXPECT_EQ(probe.Pixel(70, 16), white) << colourBits;
      for (const auto& [x, y] : {std::pair{70, 14}, {70, 17}, {69, 15}, {71, 15}, {69, 16}, {71, 16}})
        EXPECT_NE(probe.Pixel(x, y), white) << colourBits << " " << x << " " << y;
      int changed = 0;
      for (int y = 20; y < 55; ++y)
        for (int x = 10; x < 60; ++x) changed += probe.Pixel(x, y) != 0;
      EXPECT_GT(changed, 300) << colourBits;

      for (const int threads : kThreadCounts) {
        ScopedWorkerThreads pool(threads);
        EXPECT_TRUE(DrawScenes(options) == alone) << threads << " threads, " << colourBits << "-bit colour, "
                                                  << depthBits << "-bit depth";
      }
    }
  }
}

// The scene in the manner of the production's 3D slots: lit, textured, highlighted, filtered,
// blended onto the destination, and the dense mesh of small triangles.
TEST_F(ParallelDrawTest, TheLayerSceneIsTheSameAtEveryThreadCount) {
  for (DWORD bits : {32u, 24u, 16u}) {
    auto draw = [bits] {
      LayerScene scene(bits);
      EXPECT_EQ(scene.Error(), "");
      scene.DrawAll(2345);
      Picture picture = Read(scene.Target(), nullptr, 384);
      scene.DrawDenseMesh();
      const Picture mesh = Read(scene.Target(), nullptr, 384);
      picture.colour.insert(picture.colour.end(), mesh.colour.begin(), mesh.colour.end());
      return picture;
    };
    Picture alone;
    {
      ScopedWorkerThreads one(1);
      alone = draw();
    }
    for (const int threads : kThreadCounts) {
      ScopedWorkerThreads pool(threads);
      EXPECT_TRUE(draw() == alone) << threads << " threads, " << bits << " bits";
    }
  }
}

// A draw has finished when DrawPrimitive returns: the pool may be joined and the device
// released straight after, with nothing of the draw left to run.
TEST_F(ParallelDrawTest, APoolOrDeviceGoingRightAfterADrawLosesNothing) {
  const SoftDeviceOptions options{96, 80, 32, 32};
  Picture alone;
  {
    ScopedWorkerThreads one(1);
    alone = DrawScenes(options);
  }
  for (int round = 0; round < 20; ++round) {
    Picture parallel;
    {
      ScopedWorkerThreads pool(4);
      parallel = DrawScenes(options);  // the device is released on the way out
    }
    ASSERT_TRUE(parallel == alone) << round;
  }
}

TEST_F(ParallelDrawTest, AWarmDeviceDrawsWithoutAllocating) {
  for (const int threads : {1, 3}) {
    ScopedWorkerThreads pool(threads);
    LayerScene scene(32);
    ASSERT_EQ(scene.Error(), "");
    // Once a frame has been drawn, drawing it again asks for no memory.
    scene.DrawAll(1000);
    scene.DrawDenseMesh();
    allocation_log::Start();
    scene.DrawAll(1000);
    scene.DrawDenseMesh();
    allocation_log::Stop();
    EXPECT_EQ(allocation_log::Allocations(), 0u) << threads << " threads";
  }
}

}  // namespace
