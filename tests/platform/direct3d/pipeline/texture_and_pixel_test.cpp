// Texel fetching, filtering and wrapping; modulation and blending; and the pixel formats.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "platform/direct3d/pipeline/pixel_operations.h"
#include "platform/direct3d/pipeline/render_target.h"
#include "platform/direct3d/pipeline/texture_sampling.h"

namespace {

// A 4 x 4 texture with a different colour in every texel.
struct SmallTexture {
  SmallTexture() : bytes(4 * 4 * 4) {
    for (int i = 0; i < 16; ++i) {
      const std::uint32_t texel = 0xAA000000u | (static_cast<std::uint32_t>(i * 16) << 16) |
                                  (static_cast<std::uint32_t>(255 - i * 8) << 8) | static_cast<std::uint32_t>(i * 3);
      std::memcpy(bytes.data() + 4 * i, &texel, 4);
    }
    view.texels = bytes.data();
    view.pitch = 16;
    view.widthMask = view.heightMask = 3;
    view.width = view.height = 4.0f;
  }
  std::uint32_t At(int x, int y) const { return Texel(view, x, y); }
  // The 16.16 coordinate of a texture coordinate.
  int Fixed(float u) const { return FixedTexelCoordinate(u * 4.0f); }
  std::vector<std::uint8_t> bytes;
  TextureView view;
};

TEST(TextureSampling, BilinearAtATexelCentreReturnsThatTexel) {
  const SmallTexture t;
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      const float u = (static_cast<float>(x) + 0.5f) / 4.0f, v = (static_cast<float>(y) + 0.5f) / 4.0f;
      EXPECT_EQ(SampleBilinear(t.view, t.Fixed(u), t.Fixed(v)), t.At(x, y)) << x << "," << y;
      EXPECT_EQ(SampleNearest(t.view, t.Fixed(u), t.Fixed(v)), t.At(x, y));
    }
  }
}

TEST(TextureSampling, BilinearHalfwayIsTheMeanAndNearestTakesTheTexelSquare) {
  const SmallTexture t;
  // Halfway between the centres of texels (1, 2) and (2, 2).
  const std::uint32_t mixed = SampleBilinear(t.view, t.Fixed(0.5f), t.Fixed(2.5f / 4.0f));
  const std::uint32_t a = t.At(1, 2), b = t.At(2, 2);
  for (int shift : {0, 8, 16}) EXPECT_EQ(Channel(mixed, shift), (Channel(a, shift) + Channel(b, shift)) / 2) << shift;
  EXPECT_EQ(mixed >> 24, 0u) << "the texture's alpha stays out of the colour";
  // Nearest: the square [1/4, 2/4) belongs to texel 1.
  EXPECT_EQ(SampleNearest(t.view, t.Fixed(0.25f), 0), t.At(1, 0));
  EXPECT_EQ(SampleNearest(t.view, t.Fixed(0.4999f), 0), t.At(1, 0));
}

TEST(TextureSampling, CoordinatesWrapAndNegativeOnesFloor) {
  const SmallTexture t;
  EXPECT_EQ(SampleNearest(t.view, t.Fixed(1.0f), 0), t.At(0, 0)) << "u = 1 wraps to the first texel";
  EXPECT_EQ(SampleNearest(t.view, t.Fixed(-0.01f), 0), t.At(3, 0)) << "just below 0 is the last texel";
  EXPECT_EQ(SampleNearest(t.view, t.Fixed(2.3f), t.Fixed(-1.2f)), SampleNearest(t.view, t.Fixed(0.3f), t.Fixed(0.8f)));
  EXPECT_EQ(SampleBilinear(t.view, t.Fixed(1.0f + 0.5f / 4), t.Fixed(0.5f / 4)), t.At(0, 0));
  // At u = 0 the filter mixes the last texel and the first half and half.
  const std::uint32_t seam = SampleBilinear(t.view, t.Fixed(0.0f), t.Fixed(0.5f / 4));
  EXPECT_EQ(Channel(seam, 16), (Channel(t.At(3, 0), 16) + Channel(t.At(0, 0), 16)) / 2);
  EXPECT_EQ(FixedTexelCoordinate(-0.25f), -16384);
  EXPECT_EQ(FixedTexelCoordinate(std::numeric_limits<float>::quiet_NaN()), -8192 * 65536);
  EXPECT_EQ(FixedTexelCoordinate(1e30f), 8192 * 65536);
}

TEST(PixelOperations, ModulationKeepsATexelUnderWhiteAndRoundsHalves) {
  EXPECT_EQ(Modulate(0x112233, 0xFFFFFF), 0x112233u);
  EXPECT_EQ(Modulate(0x112233, 0), 0u);
  EXPECT_EQ(Modulate(0xFF80FF, 0x808080), 0x804080u);  // 255 * 128 / 255 = 128, 128 * 128 / 255 = 64.25
  for (std::uint32_t x = 0; x <= 255 * 255; ++x) ASSERT_EQ(DivideBy255(x), (x + 127) / 255) << x;
}

TEST(PixelOperations, EveryBlendFactorPairTheScenesUse) {
  const std::uint32_t source = 0x80FF20, dest = 0xC04000;
  // Blending off is ONE, ZERO.
  EXPECT_EQ(Blend(source, dest, D3DBLEND_ONE, D3DBLEND_ZERO), source);
  // ONE, SRCCOLOR: s + d s, clamped: 128 + 192 * 128 / 255, 255 + ..., 32 + 0.
  EXPECT_EQ(Blend(source, dest, D3DBLEND_ONE, D3DBLEND_SRCCOLOR), Pack(224, 255, 32));
  // ONE, DESTCOLOR: s + d d: 128 + 192 * 192 / 255, 255, 32.
  EXPECT_EQ(Blend(source, dest, D3DBLEND_ONE, D3DBLEND_DESTCOLOR), Pack(255, 255, 32));
  EXPECT_EQ(Blend(0x102030, dest, D3DBLEND_ONE, D3DBLEND_DESTCOLOR), Pack(16 + 145, 32 + 16, 48));
  EXPECT_EQ(Blend(source, dest, D3DBLEND_ZERO, D3DBLEND_ONE), dest);
  EXPECT_EQ(Blend(source, dest, D3DBLEND_DESTCOLOR, D3DBLEND_ZERO), Modulate(source, dest));
  EXPECT_EQ(Blend(source, dest, D3DBLEND_SRCCOLOR, D3DBLEND_ZERO), Modulate(source, source));
  EXPECT_EQ(AddSaturated(0xF01010, 0x20F010), 0xFFFF20u);
}

TEST(PixelFormats, ThirtyTwoAndTwentyFourKeepBytesAndSixteenKeepsTheTopBits) {
  std::uint8_t at[4] = {0xEE, 0xEE, 0xEE, 0xEE};
  WritePixel(ColourFormat::kRgb32, at, 0x112233);
  EXPECT_EQ(ReadPixel(ColourFormat::kRgb32, at), 0x112233u);
  EXPECT_EQ(at[3], 0) << "the spare byte is written as zero";
  std::uint8_t three[4] = {0, 0, 0, 0x77};
  WritePixel(ColourFormat::kRgb24, three, 0x112233);
  EXPECT_EQ(three[0], 0x33);
  EXPECT_EQ(three[2], 0x11);
  EXPECT_EQ(three[3], 0x77) << "the next pixel is left alone";
  EXPECT_EQ(ReadPixel(ColourFormat::kRgb24, three), 0x112233u);
  std::uint8_t two[2];
  WritePixel(ColourFormat::kRgb565, two, 0xFFFFFF);
  EXPECT_EQ(ReadPixel(ColourFormat::kRgb565, two), 0xFFFFFFu);
  WritePixel(ColourFormat::kRgb565, two, 0x8C4A21);
  // Five, six and five top bits, each repeated into the bits below.
  EXPECT_EQ(ReadPixel(ColourFormat::kRgb565, two), Pack(17 << 3 | 17 >> 2, 18 << 2 | 18 >> 4, 4 << 3 | 4 >> 2));
}

}  // namespace
