// The test scene at every target depth, saved as PNG in the build folder for a person to look at,
// with the properties a broken pipeline would lose checked here.
#include <gtest/gtest.h>

#include <string>

#include "tests/platform/direct3d/test_scene.h"
#include "tools/common/png_writer.h"

namespace {

TEST(ScenePicture, DrawsTheLetterboxedSceneAtEveryDepth) {
  for (DWORD bits : {32u, 24u, 16u}) {
    SoftDevice device({512, 384, bits, 32});
    TestScene scene(device);
    // The rows outside the picture area keep what was there.
    std::memset(device.target->Pixels(), 0x55, static_cast<std::size_t>(device.target->Pitch()) * 384);
    scene.DrawAll(1234.0f);
    std::string error;
    const std::string path = std::string(KALETH_BUILD_DIR) + "/d3d-test-scene-" + std::to_string(bits) + ".png";
    EXPECT_TRUE(WriteFramePng(path,
                              FrameView{device.target->Pixels(), 512, 384, device.target->Pitch(), static_cast<int>(bits)},
                              &error))
        << error;
    EXPECT_EQ(device.Pixel(10, 51), device.Pixel(500, 332)) << bits;
    EXPECT_NE(device.Pixel(10, 51), device.Pixel(10, 52)) << bits;
    // The grid covers the whole picture area: no pixel stays cleared to black.
    int black = 0;
    for (int y = 52; y < 332; ++y)
      for (int x = 0; x < 512; ++x) black += device.Pixel(x, y) == 0;
    EXPECT_EQ(black, 0) << bits;
  }
}

}  // namespace
