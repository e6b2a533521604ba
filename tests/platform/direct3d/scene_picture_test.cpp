// The layer scene at every target depth, saved as PNG in the build folder for a person to look at,
// with the properties a broken pipeline would lose checked here.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/direct3d/pipeline/render_target.h"
#include "tools/drawing/layer_scene.h"
#include "tools/common/png_writer.h"

namespace {

TEST(ScenePicture, DrawsTheLetterboxedSceneAtEveryDepth) {
  for (DWORD bits : {32u, 24u, 16u}) {
    LayerScene scene(bits);
    ASSERT_EQ(scene.Error(), "");
    IDirectDrawSurface4* target = scene.Target();
    const ColourFormat format = bits == 32 ? ColourFormat::kRgb32 : bits == 24 ? ColourFormat::kRgb24 : ColourFormat::kRgb565;
    auto pixel = [&](int x, int y) { return ReadPixel(format, target->Pixels() + y * target->Pitch() + x * BytesPerPixel(format)); };
    // The rows outside the picture area keep what was there.
    std::memset(target->Pixels(), 0x55, static_cast<std::size_t>(target->Pitch()) * 384);
    const std::uint32_t outside = pixel(0, 0);
    scene.DrawAll(1234);
    std::string error;
    const std::string path = std::string(KALETH_BUILD_DIR) + "/d3d-test-scene-" + std::to_string(bits) + ".png";
    EXPECT_TRUE(WriteFramePng(path, FrameView{target->Pixels(), 512, 384, target->Pitch(), static_cast<int>(bits)}, &error))
        << error;
    int black = 0, changedOutside = 0;
    for (int y = 0; y < 384; ++y) {
      for (int x = 0; x < 512; ++x) {
        if (y < 52 || y >= 332) changedOutside += pixel(x, y) != outside;
        else black += pixel(x, y) == 0;
      }
    }
    EXPECT_EQ(changedOutside, 0) << bits;
    // The grid covers the whole picture area: no pixel stays cleared to black.
    EXPECT_EQ(black, 0) << bits;
    // The dense mesh covers it too, triangle by triangle.
    EXPECT_EQ(scene.DrawDenseMesh(), 128 * 70 * 2);
    black = 0;
    for (int y = 52; y < 332; ++y)
      for (int x = 0; x < 512; ++x) black += pixel(x, y) == 0;
    EXPECT_EQ(black, 0) << bits;
  }
}

}  // namespace
