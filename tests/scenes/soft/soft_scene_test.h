// Shared ground for the software scenes' tests: the sine tables, a canvas, pictures of random
// pixels shaped like loaded ones (top byte 0), and the per-byte arithmetic the expected pixels
// are computed with, written out from the formulas rather than taken from the scenes.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/canvas.h"
#include "core/tables.h"
#include "scenes/soft/pixel_bytes.h"
#include "tests/support/worker_threads.h"

namespace soft_test {

using Picture = std::vector<std::uint32_t>;

inline Picture RandomPicture(std::size_t pixels, std::uint32_t seed) {
  std::mt19937 random(seed);
  Picture picture(pixels);
  for (std::uint32_t& pixel : picture) pixel = random() & 0x00FFFFFFu;
  return picture;
}

// Grey pixels g * 0x010101, as the grey loaders give them; every tenth one black.
inline Picture RandomGreyPicture(std::size_t pixels, std::uint32_t seed) {
  std::mt19937 random(seed);
  Picture picture(pixels);
  for (std::size_t i = 0; i < pixels; ++i) picture[i] = i % 10 == 0 ? 0 : (random() & 0xFFu) * 0x010101u;
  return picture;
}

inline int Byte(std::uint32_t pixel, int index) { return static_cast<int>((pixel >> (8 * index)) & 0xFF); }

inline std::uint32_t Pixel(int blue, int green, int red, int top = 0) {
  return static_cast<std::uint32_t>(blue) | static_cast<std::uint32_t>(green) << 8 |
         static_cast<std::uint32_t>(red) << 16 | static_cast<std::uint32_t>(top) << 24;
}

// Table entries of the time-driven angles, as plain doubles.
inline double Sin(std::uint64_t index) { return static_cast<double>(SinTable[index % 1024]); }
inline double Cos(std::uint64_t index) { return static_cast<double>(CosTable[index % 1024]); }

inline int Trunc(double value) { return static_cast<int>(std::trunc(value)); }
// The low eight bits of a signed sum, as a number 0..255.
inline int Low8(long long value) { return static_cast<int>(((value % 256) + 256) % 256); }

// Compares two whole frames and names the first differing pixel.
inline ::testing::AssertionResult SameFrame(const std::uint32_t* expected, const std::uint32_t* actual) {
  for (int i = 0; i < kCanvasWidth * kCanvasHeight; ++i) {
    if (expected[i] != actual[i]) {
      char text[128];
      std::snprintf(text, sizeof text, "pixel row %d column %d: expected %06x, got %06x", i / kCanvasWidth,
                    i % kCanvasWidth, expected[i], actual[i]);
      return ::testing::AssertionFailure() << text;
    }
  }
  return ::testing::AssertionSuccess();
}

class SoftSceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BuildTables();
    canvas.assign(kCanvasWidth * kCanvasHeight, 0x00123456u);
    other.assign(kCanvasWidth * kCanvasHeight, 0x00654321u);
  }
  void TearDown() override { FreeTables(); }

  // Draws the frame of each time on both paths and at 1, 2, 3 and 8 threads; each must equal
  // expected(a). `draw` takes the time, the canvas and the path.
  template <typename Draw, typename Expected>
  void ExpectFramesOnBothPaths(std::initializer_list<std::uint32_t> times, Draw draw, Expected expected) {
    for (std::uint32_t a : times) {
      const Picture wanted = expected(a);
      AtEveryThreadCount([&](int) {
        for (PixelPath path : {PixelPath::kScalar, PixelPath::kPacked}) {
          draw(a, canvas.data(), path);
          EXPECT_TRUE(SameFrame(wanted.data(), canvas.data())) << "a = " << a;
        }
      });
    }
  }

  // Draws the frames at 0, step, 2 step ... below end on both paths; they must agree.
  template <typename Draw>
  void ExpectPathsAgree(std::uint32_t end, std::uint32_t step, Draw draw) {
    for (std::uint32_t a = 0; a < end; a += step) {
      draw(a, canvas.data(), PixelPath::kScalar);
      draw(a, other.data(), PixelPath::kPacked);
      ASSERT_TRUE(SameFrame(canvas.data(), other.data())) << "a = " << a;
    }
  }

  Picture canvas;
  Picture other;  // a second canvas, for the other path
};

}  // namespace soft_test
