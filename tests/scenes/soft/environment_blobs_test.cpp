// The blobs: the shifts of their points, the pixels of a frame worked out from the distances
// themselves (not the table) at any thread count, the freeze on the beat, and the set-up's order
// and clean-up.
#include "scenes/soft/environment_blobs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "music/beat_flags.h"
#include "tests/scenes/soft/soft_scene_test.h"
#include "tests/support/worker_threads.h"

namespace {

using namespace soft_test;

class EnvironmentBlobsTest : public SoftSceneTest {
 protected:
  void SetUp() override {
    SoftSceneTest::SetUp();
    BeatFlagB = 0;
    table.resize(1024 * 1024);
    for (int r = 0; r < 1024; ++r)
      for (int c = 0; c < 1024; ++c) table[1024 * r + c] = (r - 280) * (r - 280) + (c - 512) * (c - 512);
    blobs.assign(kCanvasWidth * kCanvasHeight, 0);
    EnvironmentBlobs.distances = table.data();
    EnvironmentBlobs.blobs = blobs.data();
    EnvironmentBlobs.overlay = overlay.data();
    EnvironmentBlobs.environment = environment.data();
  }
  void TearDown() override {
    EnvironmentBlobs = EnvironmentBlobsScene{};
    BeatFlagB = 0;
    SoftSceneTest::TearDown();
  }

  // The frame at time a with the blob picture computed from the points' distances.
  Picture ExpectedFrame(std::uint32_t a) const {
    const double s2 = Sin(a / 2), c2 = Cos(a / 2), s3 = Sin(a / 3), c3 = Cos(a / 3), s5 = Sin(a / 5);
    const int Y1 = 140 - Trunc(139.5 * c3), X1 = 256 - Trunc(-255.5 * s5);
    const int Ya = Trunc(140 - 139.5 * c3), Yb = 140 - Trunc(140 * c3), Yc = Trunc(139.5 * c2 + 140);
    const int Xa = Trunc(255.5 * s3 + 256), Xb = Trunc(256 - 255.5 * s2);
    const int colY[4] = {Y1, Ya, Yb, Yc}, colX[4] = {X1, Xa, Xa, Xb};
    const int rowY[4] = {Y1, Yb, Ya, Yc}, rowX[4] = {Xa, X1, Xb, Xa};
    // The point named by shift (Y, X) sits at canvas row 280 - Y, column 512 - X.
    auto index = [](const int* ys, const int* xs, int r, int c) {
      double product = 1;
      for (int p = 0; p < 4; ++p) {
        const double dr = r - (280 - ys[p]), dc = c - (512 - xs[p]);
        product *= dr * dr + dc * dc;
      }
      return std::max(0, Trunc(255 - std::sqrt(product) * 5e-7));
    };
    Picture frame(kCanvasWidth * kCanvasHeight);
    for (int r = 0; r < kCanvasHeight; ++r) {
      for (int c = 0; c < kCanvasWidth; ++c) {
        const std::uint32_t blob = environment[256 * index(rowY, rowX, r, c) + index(colY, colX, r, c)];
        const std::uint32_t over = overlay[kCanvasWidth * r + c];
        std::uint32_t pixel = 0;
        for (int byte = 0; byte < 3; ++byte) pixel |= std::max(Byte(blob, byte), Byte(over, byte)) << (8 * byte);
        frame[kCanvasWidth * r + c] = pixel;
      }
    }
    return frame;
  }

  void ExpectFreezeOnTheBeat();

  std::vector<std::int32_t> table;
  Picture blobs;
  Picture overlay = RandomPicture(512 * 280, 31);
  Picture environment = RandomPicture(256 * 256, 32);
};

TEST_F(EnvironmentBlobsTest, AtTimeZeroThePointsSitWhereTheTableEntriesSay) {
  const EnvironmentBlobShifts s = EnvironmentBlobShiftsAt(0);
  // Y1 = 1, X1 = 256, Ya = 0, Yb = 0, Yc = 279, Xa = 256, Xb = 256.
  const EnvironmentBlobShift columns[4] = {{1, 256}, {0, 256}, {0, 256}, {279, 256}};
  const EnvironmentBlobShift rows[4] = {{1, 256}, {0, 256}, {0, 256}, {279, 256}};
  for (int p = 0; p < 4; ++p) {
    EXPECT_EQ(s.columns[p].y, columns[p].y) << p;
    EXPECT_EQ(s.columns[p].x, columns[p].x) << p;
    EXPECT_EQ(s.rows[p].y, rows[p].y) << p;
    EXPECT_EQ(s.rows[p].x, rows[p].x) << p;
  }
}

TEST_F(EnvironmentBlobsTest, EveryShiftKeepsEveryReadInsideTheTable) {
  for (std::uint32_t a = 0; a < 40000; a += 7) {
    const EnvironmentBlobShifts s = EnvironmentBlobShiftsAt(a);
    for (const EnvironmentBlobShift* group : {s.columns, s.rows}) {
      for (int p = 0; p < 4; ++p) {
        ASSERT_GE(group[p].y, 0) << a;
        ASSERT_LE(group[p].y, 280) << a;
        ASSERT_GE(group[p].x, 0) << a;
        ASSERT_LE(group[p].x, 512) << a;
      }
    }
  }
}

TEST_F(EnvironmentBlobsTest, AFrameTakesTheBrighterChannelOfTheOverlayAndTheEnvironmentTexel) {
  AtEveryThreadCount([&](int) {
    for (std::uint32_t a : {0u, 1234u, 7777u, 14999u}) {
      PaintEnvironmentBlobs(a, canvas.data());
      EXPECT_TRUE(SameFrame(ExpectedFrame(a).data(), canvas.data())) << "a = " << a;
    }
  });
}

TEST_F(EnvironmentBlobsTest, FarFromEveryPointTheTopLeftTexelShowsAndNearOneTheBottomRight) {
  // A black overlay lets the blobs show as they are.
  std::fill(overlay.begin(), overlay.end(), 0u);
  PaintEnvironmentBlobs(0, canvas.data());
  // At a = 0 both groups have a point at canvas row 279, column 256 (shift (1, 256)): the product
  // there is 0, so both indices are 255. Row 0, column 0 is far from every point: index 0.
  EXPECT_EQ(canvas[kCanvasWidth * 279 + 256], environment[256 * 255 + 255]);
  EXPECT_EQ(canvas[0], environment[0]);
}

TEST_F(EnvironmentBlobsTest, WhileTheBeatFlagIsSetTheBlobsFreezeButTheOverlayIsCombinedAfresh) {
  AtThreadCounts({1, 3}, [&](int) { ExpectFreezeOnTheBeat(); });
}

void EnvironmentBlobsTest::ExpectFreezeOnTheBeat() {
  PaintEnvironmentBlobs(2000, canvas.data());
  const Picture atTwoSeconds = ExpectedFrame(2000);
  EXPECT_TRUE(SameFrame(atTwoSeconds.data(), canvas.data()));
  BeatFlagB = 1;
  PaintEnvironmentBlobs(5000, other.data());
  EXPECT_TRUE(SameFrame(atTwoSeconds.data(), other.data())) << "the blobs of 2000 ms stay";
  // A darker overlay shows the frozen blobs beneath it.
  for (std::uint32_t& p : overlay) p >>= 1, p &= 0x7F7F7F;
  PaintEnvironmentBlobs(9000, other.data());
  EXPECT_TRUE(SameFrame(ExpectedFrame(2000).data(), other.data()));
  BeatFlagB = 0;
  PaintEnvironmentBlobs(9000, other.data());
  EXPECT_TRUE(SameFrame(ExpectedFrame(9000).data(), other.data())) << "cleared, the blobs move again";
}

}  // namespace
