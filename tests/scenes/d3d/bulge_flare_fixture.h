// A headless machine with the display, the 3D device, the shared material and light and the
// camera as the start-up leaves them when the 3D scenes run, over a package of the scenes'
// textures; and the back buffer read back.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/direct3d/d3d.h"
#include "tests/support/data_files.h"

namespace bulge_flare {

// Solid textures, told apart by their main channel.
inline constexpr std::uint32_t kCubeTexel = 0xE02010;   // red
inline constexpr std::uint32_t kGridTexel = 0x1020E0;   // blue
inline constexpr std::uint32_t kBarTexel = 0x10E020;    // green
inline constexpr std::uint32_t kFlareTexel = 0x404040;  // grey
inline constexpr std::uint32_t kFlare2Texel = 0x202020;

class BulgeFlareSceneTest : public PackageTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Display, device, transforms, the material and light every 3D scene is lit with, linear
  // magnification and the two clear rectangles, as the set-ups before these scenes leave them.
  void OpenDevice();
  void CloseDevice();

  // The whole 512 x 384 back buffer, 0x00RRGGBB, row after row.
  std::vector<std::uint32_t> Screen() const;
  static std::uint32_t At(const std::vector<std::uint32_t>& frame, int x, int y) { return frame[y * 512 + x]; }
  // Fills the back buffer with one colour, so that what a frame leaves alone shows.
  void Paint(std::uint32_t colour);

 private:
  IDirect3DMaterial3* material_ = nullptr;
  IDirect3DLight* light_ = nullptr;
};

}  // namespace bulge_flare
