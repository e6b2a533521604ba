// Raw pictures: byte orders, shapes, members shorter than their shape, and a package that
// cannot be reopened.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "data/raw_loaders.h"
#include "tests/support/data_files.h"

namespace {

using RawLoadersTest = PackageTest;

TEST_F(RawLoadersTest, ColourBytesAreRedGreenBlueAndGreyFillsAllThree) {
  Bytes screen(kRawScreenPixels * 3);
  for (std::size_t i = 0; i < screen.size(); ++i) screen[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  screen[0] = 0x12, screen[1] = 0x34, screen[2] = 0x56;
  Bytes strip(screen.begin(), screen.begin() + kRawStripPixels * 3);
  Bytes grey(16000);
  for (std::size_t i = 0; i < grey.size(); ++i) grey[i] = static_cast<std::uint8_t>(i * 13);
  grey[1] = 0x80;
  OpenMembers({{"overlay1.raw", screen}, {"upperframe.raw", strip}, {"text1.raw", grey}});

  std::uint32_t* colour = LoadRgbRawScreen("overlay1.raw");
  const std::uint8_t firstPixel[4] = {0x56, 0x34, 0x12, 0x00};
  EXPECT_EQ(std::memcmp(colour, firstPixel, 4), 0) << "blue, green, red, zero in memory";
  for (std::size_t i : {std::size_t{1}, kRawStripPixels, kRawScreenPixels - 1}) {
    EXPECT_EQ(colour[i], static_cast<std::uint32_t>(screen[3 * i] << 16 | screen[3 * i + 1] << 8 | screen[3 * i + 2]));
  }
  std::uint32_t* stripPixels = LoadRgbRawStrip("upperframe.raw");
  EXPECT_EQ(std::memcmp(stripPixels, colour, kRawStripPixels * 4), 0);

  std::uint32_t* greyPixels = LoadGrayRaw(16000, "text1.raw");
  EXPECT_EQ(greyPixels[1], 0x00808080u);
  EXPECT_EQ(greyPixels[15999], grey[15999] * 0x010101u);
  std::free(colour);
  std::free(stripPixels);
  std::free(greyPixels);
  EXPECT_TRUE(backend.boxes.empty());
}

TEST_F(RawLoadersTest, EightBitScreenComesBackUnconverted) {
  Bytes grey(kRawScreenPixels);
  for (std::size_t i = 0; i < grey.size(); ++i) grey[i] = static_cast<std::uint8_t>(i ^ (i >> 9));
  OpenMembers({{"load.raw", grey}});
  std::uint8_t* bytes = LoadRaw8Screen("load.raw");
  EXPECT_EQ(Bytes(bytes, bytes + kRawScreenPixels), grey);
  std::free(bytes);
}

TEST_F(RawLoadersTest, WhatAShortMemberLacksComesOutBlack) {
  // Each member is followed by bytes of another that must not be taken for its own.
  OpenMembers({{"short.raw", Bytes(30, 0xFF)}, {"grey.raw", Bytes(5, 0x40)}, {"after", Bytes(100, 0x77)}});
  std::uint32_t* colour = LoadRgbRawStrip("short.raw");
  EXPECT_EQ(colour[9], 0x00FFFFFFu);
  EXPECT_EQ(colour[10], 0u);
  EXPECT_EQ(colour[kRawStripPixels - 1], 0u);
  std::uint32_t* grey = LoadGrayRaw(8, "grey.raw");
  EXPECT_EQ(grey[4], 0x00404040u);
  EXPECT_EQ(grey[5], 0u);
  EXPECT_EQ(grey[7], 0u);
  std::free(colour);
  std::free(grey);
}

TEST_F(RawLoadersTest, APackageGoneSinceStartUpEndsWithEachLoadersMessage) {
  OpenMembers({{"a.raw", Bytes(4, 1)}});
  std::filesystem::remove(packagePath);
  EXPECT_EQ(FatalMessageOf([] { LoadRgbRawScreen("a.raw"); }), "Unable to load image");
  EXPECT_EQ(FatalMessageOf([] { LoadRgbRawStrip("a.raw"); }), "Unable to load image");
  EXPECT_EQ(FatalMessageOf([] { LoadRaw8Screen("a.raw"); }), "Unable to load image");
  EXPECT_EQ(FatalMessageOf([] { LoadGrayRaw(4, "a.raw"); }), "unable to load 8 bit raw");
  // A member that is not there is the archive's to report, before any file is opened.
  EXPECT_EQ(FatalMessageOf([] { LoadGrayRaw(4, "b.raw"); }), "b.raw");
}

}  // namespace
