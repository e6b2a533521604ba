// The pixel formats: 5-6-5 widened and packed again gives the same 16 bits, full intensity stays
// full, and the display's own copy of the packing (the system may not include the platform's)
// packs every colour as the platform does.
#include <gtest/gtest.h>

#include <cstdint>

#include "display/canvas_pixels.h"
#include "platform/pixels/pixel_format.h"

namespace {

TEST(PixelFormat, EverySixteenBitValueWidensAndPacksBackUnchanged) {
  for (std::uint32_t v = 0; v <= 0xFFFF; ++v) {
    const std::uint32_t wide = WidenRgb565(static_cast<std::uint16_t>(v));
    ASSERT_EQ(PackRgb565(wide), v) << std::hex << v;
    ASSERT_EQ(CanvasPixel565(wide), v) << std::hex << v;
    std::uint8_t bytes[2];
    StoreRgb565(bytes, static_cast<std::uint16_t>(v));
    ASSERT_EQ(bytes[0] | bytes[1] << 8, static_cast<int>(v));  // little-endian, as the surfaces are
  }
  EXPECT_EQ(WidenRgb565(0xFFFF), 0xFFFFFFu);
  EXPECT_EQ(WidenRgb565(kRed565Mask), kRed888Mask);
  EXPECT_EQ(WidenRgb565(kGreen565Mask), kGreen888Mask);
  EXPECT_EQ(WidenRgb565(kBlue565Mask), kBlue888Mask);
}

TEST(PixelFormat, TheDisplaysCopyPacksEveryColourAsThePlatformDoes) {
  // Every value of each channel against a spread of the other two, and a stride through all
  // 2^24 colours that meets every low-bit pattern.
  auto check = [](std::uint32_t rgb) {
    ASSERT_EQ(CanvasPixel565(rgb), PackRgb565(rgb)) << std::hex << rgb;
    std::uint8_t system[3], platform[3];
    StoreCanvasPixel24(system, rgb);
    StoreRgb24(platform, rgb);
    ASSERT_EQ(system[0], platform[0]);
    ASSERT_EQ(system[1], platform[1]);
    ASSERT_EQ(system[2], platform[2]);
    ASSERT_EQ(LoadRgb24(platform), rgb);
  };
  for (std::uint32_t c = 0; c < 256; ++c) {
    for (std::uint32_t o = 0; o < 256; o += 17) {
      check(c << 16 | o << 8 | (255 - o));
      check(o << 16 | c << 8 | (255 - o));
      check(o << 16 | (255 - o) << 8 | c);
    }
  }
  for (std::uint32_t rgb = 0; rgb <= 0xFFFFFF; rgb += 251) check(rgb);
  // The top byte of a canvas pixel is never shown.
  EXPECT_EQ(CanvasPixel565(0xFF123456), PackRgb565(0x123456));
}

}  // namespace
