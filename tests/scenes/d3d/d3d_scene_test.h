// Shared ground for the 3D scenes' tests: a package of the members the set-ups read, the display
// and the 3D device as the start-up leaves them, and the back buffer's pixels.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "d3d/device3d.h"
#include "display/display.h"
#include "core/canvas.h"
#include "runtime/entry.h"
#include "core/tables.h"
#include "scenes/d3d/diamond_scene.h"
#include "scenes/d3d/mesh_scene.h"
#include "tests/support/data_files.h"
#include "tests/support/started_device.h"
#include "tools/common/pcx_writer.h"

namespace d3d_test {

using Picture = std::vector<std::uint32_t>;

// A 256 x 256 picture of four quadrants: (u < 0.5, v < 0.5) red, (u >= 0.5, v < 0.5) green,
// (u < 0.5, v >= 0.5) blue, (u >= 0.5, v >= 0.5) yellow.
inline constexpr std::uint32_t kQuadrants[2][2] = {{0xC02010, 0x10C020}, {0x2010C0, 0xC0C010}};
inline Picture QuadrantPicture() {
  Picture picture(256 * 256);
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) picture[256 * y + x] = kQuadrants[y >= 128][x >= 128];
  return picture;
}

inline PakMember PcxOf(const char* name, const Picture& picture) { return {name, EncodePcx(picture.data(), 256, 256)}; }

inline PakMember RgbOf(const char* name, const Picture& picture) {
  Bytes bytes;
  for (std::uint32_t p : picture)
    bytes.insert(bytes.end(), {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                               static_cast<std::uint8_t>(p)});
  return {name, bytes};
}

// A square of side 120 in the plane z = 0 as two objects, one facing each way, so that it shows
// at every turn.
inline Bytes SquareMesh() {
  const std::vector<MeshVector> corners = {{-60, -60, 0}, {60, -60, 0}, {60, 60, 0}, {-60, 60, 0}};
  const std::vector<MeshMapping> mapping = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  const Bytes front = Join({VertexChunk(corners), FaceChunk({{0, 1, 2, 0}, {0, 2, 3, 0}}), MappingChunk(mapping)});
  const Bytes back = Join({VertexChunk(corners), FaceChunk({{0, 2, 1, 0}, {0, 3, 2, 0}}), MappingChunk(mapping)});
  return MeshMember(Join({MeshObject("Front", front), MeshObject("Back", back)}));
}

class D3DSceneTest : public PackageTest {
 protected:
  void SetUp() override {
    PackageTest::SetUp();
    BuildTables();
    std::vector<std::uint32_t> grey(512 * 280);
    for (std::size_t i = 0; i < grey.size(); ++i) grey[i] = 0x404040u + static_cast<std::uint32_t>(i % 64);
    background = grey;
    overlay3 = grey;
    for (std::uint32_t& p : overlay3) p ^= 0x0F0F0F;
    OpenMembers({{"object3.3ds", SquareMesh()}, PcxOf("texture8.pcx", QuadrantPicture()),
                 PcxOf("texture1.pcx", QuadrantPicture()), RgbOf("overlay2.raw", background),
                 RgbOf("overlay3.raw", overlay3), PcxOf("env1.pcx", QuadrantPicture())});
    canvas.assign(kCanvasWidth * kCanvasHeight, 0);
    Canvas = canvas.data();  // what CopyCanvas brings to the back buffer
  }
  void TearDown() override {
    CloseDevice();
    Canvas = nullptr;
    FreeTables();
    PackageTest::TearDown();
  }

  void OpenDevice() { StartDisplayAndDevice(); }

  // Gives back what the scenes keep for the whole run, the 3D objects and the display.
  void CloseDevice() {
    for (SceneTexture* t : {&OpeningMesh.texture, &Diamond.texture}) {
      if (t->texture) t->texture->Release();
      t->texture = nullptr;
    }
    std::free(OpeningMesh.background);
    OpeningMesh.background = nullptr;
    if (SceneMaterial) SceneMaterial->Release();
    SceneMaterial = nullptr;
    if (SceneLight) SceneLight->Release();
    SceneLight = nullptr;
    StopDisplayAndDevice();
  }

  // Back buffer pixel (x, y) as 0x00RRGGBB.
  static std::uint32_t BackPixel(int x, int y) {
    std::uint32_t v;
    std::memcpy(&v, BackBuffer->Pixels() + y * BackBuffer->Pitch() + 4 * x, 4);
    return v & 0xFFFFFFu;
  }
  static void FillBackBuffer(std::uint32_t colour) {
    for (int y = 0; y < 384; ++y)
      for (int x = 0; x < 512; ++x) std::memcpy(BackBuffer->Pixels() + y * BackBuffer->Pitch() + 4 * x, &colour, 4);
  }

  Picture background;  // "overlay2.raw"
  Picture overlay3;    // "overlay3.raw"
  Picture canvas;
};

}  // namespace d3d_test
