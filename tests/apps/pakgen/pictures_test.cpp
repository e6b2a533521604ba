// The pictures as their scenes use them: tiled textures wrap without a seam, glows and greetings
// keep black where the scenes treat black as nothing, the scroller's unseen rows stay empty.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/apps/pakgen/package_fixture.h"

namespace {

Rgb24 Pcx(const std::string& name) { return DecodePcx(BuiltPackage().at(name)); }

int Diff(const Rgb24& p, int x0, int y0, int x1, int y1) {
  return std::abs(p.r(x0, y0) - p.r(x1, y1)) + std::abs(p.g(x0, y0) - p.g(x1, y1)) +
         std::abs(p.b(x0, y0) - p.b(x1, y1));
}

double MeanLevel(const Rgb24& p, int x0, int y0, int x1, int y1) {
  double sum = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) sum += p.level(x, y);
  return sum / ((x1 - x0) * (y1 - y0)) / 3;
}

TEST(PakgenPictures, TiledTexturesWrapWithoutASeam) {
  // Across the wrap the step between neighbours must look like any other step inside.
  for (const char* name : {"texture1.pcx", "texture5.pcx", "texture6.pcx", "texture7.pcx", "texture8.pcx"}) {
    const Rgb24 p = Pcx(name);
    double inside = 0, seam = 0;
    for (int i = 0; i < 256; ++i) {
      inside += Diff(p, 127, i, 128, i) + Diff(p, i, 127, i, 128);
      seam += Diff(p, 255, i, 0, i) + Diff(p, i, 255, i, 0);
    }
    EXPECT_LE(seam, 2 * inside + 256) << name << ": seam " << seam << " against " << inside;
  }
}

TEST(PakgenPictures, EnvironmentIsLitNearTheBlobPointsAndDarkFarFromThem) {
  const Rgb24 env = Pcx("env1.pcx");
  const double near = MeanLevel(env, 224, 224, 256, 256), far = MeanLevel(env, 0, 0, 32, 32);
  EXPECT_GT(near, 200);
  EXPECT_LT(far, 24);
}

TEST(PakgenPictures, FlaresGlowOnBlackThatReachesEveryEdge) {
  for (const char* name : {"flare.pcx", "flare2.pcx"}) {
    const Rgb24 p = Pcx(name);
    for (int i = 0; i < 256; ++i)
      for (int d = 0; d < 4; ++d) {
        ASSERT_EQ(p.level(i, d) + p.level(i, 255 - d) + p.level(d, i) + p.level(255 - d, i), 0)
            << name << " edge at " << i << ", " << d;
      }
    EXPECT_GT(MeanLevel(p, 112, 112, 144, 144), 100) << name;
  }
}

TEST(PakgenPictures, GreetingsAreNamesOnTransparentBlack) {
  for (int i = 1; i <= 9; ++i) {
    const std::string name = "greet" + std::to_string(i) + ".pcx";
    const Rgb24 p = Pcx(name);
    int transparent = 0;
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x) transparent += p.level(x, y) == 0;
    EXPECT_GT(transparent, 256 * 256 / 2) << name;
    EXPECT_LT(transparent, 256 * 256 * 97 / 100) << name << " shows almost nothing";
    // Nothing touches the edges, so no letter is cut off when the picture is scaled.
    for (int k = 0; k < 256; ++k) EXPECT_EQ(p.level(k, 0) + p.level(k, 255) + p.level(0, k) + p.level(255, k), 0) << name;
  }
}

TEST(PakgenPictures, MessagesAreWhiteWordsOnBlack) {
  for (int i = 1; i <= 6; ++i) {
    const std::string name = "text" + std::to_string(i) + ".raw";
    const Rgb24 p = RawGrey(BuiltPackage().at(name), 200, 80);
    int white = 0, black = 0;
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 200; ++x) {
        white += p.r(x, y) == 255;
        black += p.r(x, y) == 0;
      }
    EXPECT_GT(white, 200) << name;
    EXPECT_GT(black, 200 * 80 / 2) << name;
  }
}

TEST(PakgenPictures, ScrollerShowsTextAtBothEndsAndLeavesItsHiddenRowsEmpty) {
  const Rgb24 p = RawGrey(BuiltPackage().at("scroll.raw"), 320, 1120);
  for (int y = 1080; y < 1120; ++y)
    for (int x = 0; x < 320; ++x) ASSERT_EQ(p.r(x, y), 0) << "row " << y;
  auto brightRows = [&](int y0, int y1) {
    int rows = 0;
    for (int y = y0; y < y1; ++y) {
      int bright = 0;
      for (int x = 0; x < 320; ++x) bright += p.r(x, y) > 128;
      rows += bright > 0;
    }
    return rows;
  };
  EXPECT_GT(brightRows(0, 280), 40);      // what the first frame shows
  EXPECT_GT(brightRows(800, 1080), 40);   // what stays up once the scroll stops
}

TEST(PakgenPictures, OverlaysLeaveRoomWhereTheirScenesShow) {
  // The blobs are combined by the brighter channel: the overlay's middle must be dark.
  const Rgb24 blobs = RawRgb(BuiltPackage().at("overlay3.raw"), 512, 280);
  EXPECT_LT(MeanLevel(blobs, 60, 40, 450, 240), 4);
  EXPECT_GT(MeanLevel(blobs, 0, 0, 512, 16), 10);
  // Beside the scroller only columns 320 to 511 show; they must carry the picture.
  const Rgb24 scroller = RawRgb(BuiltPackage().at("overlay4.raw"), 512, 280);
  EXPECT_GT(MeanLevel(scroller, 320, 0, 512, 280), 20);
  // The loading picture is grey with a bright title.
  const Rgb24 loading = RawGrey(BuiltPackage().at("load.raw"), 512, 280);
  int title = 0;
  for (int y = 80; y < 160; ++y)
    for (int x = 0; x < 512; ++x) title += loading.r(x, y) > 200;
  EXPECT_GT(title, 1000);
}

}  // namespace
