#include "scenes/soft/ray_grid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "core/tables.h"
#include "core/truncate.h"

namespace {

class RayGridTest : public ::testing::Test {
 protected:
  void SetUp() override { BuildTables(); }
  void TearDown() override { FreeTables(); }
};

RotationMatrix Filled(float value) {
  RotationMatrix m;
  for (float& e : m.m) e = value;
  return m;
}

void ExpectSame3x3(const RotationMatrix& a, const RotationMatrix& b) {
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(a.m[4 * r + c], b.m[4 * r + c]) << r << "," << c;
}

TEST(TruncateToInt32, TruncatesInRangeAndSaturatesOutside) {
  EXPECT_EQ(TruncateToInt32(2.9), 2);
  EXPECT_EQ(TruncateToInt32(-2.9), -2);
  EXPECT_EQ(TruncateToInt32(2147483647.9), 2147483647);
  EXPECT_EQ(TruncateToInt32(-2147483648.9), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(TruncateToInt32(2147483648.0), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(TruncateToInt32(1e30), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(TruncateToInt32(-1e30), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(TruncateToInt32(std::numeric_limits<double>::infinity()), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(TruncateToInt32(-std::numeric_limits<float>::infinity()), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(TruncateToInt32(std::nan("")), 0);
}

TEST_F(RayGridTest, AngleZeroAndItsWrapsLeaveTheIdentity) {
  RotationMatrix identity = Filled(7.0f);
  SetIdentity(identity);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_EQ(identity.m[4 * r + c], r == c ? 1.0f : 0.0f);
  EXPECT_EQ(identity.m[15], 1.0f);
  EXPECT_EQ(identity.m[12], 7.0f) << "the fourth row is not the identity's business";

  for (std::int32_t angle : {0, 1024, -1024, 4096}) {
    RotationMatrix m;
    BuildViewMatrix(m, angle, angle, angle);
    ExpectSame3x3(m, identity);
  }
  RotationMatrix minusOne, wrapped, minus90, wrapped90;
  BuildViewMatrix(minusOne, -1, -1, -1);
  BuildViewMatrix(wrapped, 1023, 1023, 1023);
  ExpectSame3x3(minusOne, wrapped);
  BuildViewMatrix(minus90, -90, 5, -90);
  BuildViewMatrix(wrapped90, 934, 5, 934);
  ExpectSame3x3(minus90, wrapped90);
}

TEST_F(RayGridTest, RotationsTurnRowVectorsWithTheirOwnSigns) {
  // A quarter turn: sin = 1, cos is about 0.
  RotationMatrix x, y, z;
  SetIdentity(x);
  SetIdentity(y);
  SetIdentity(z);
  SetRotationX(x, 256);
  SetRotationY(y, 256);
  SetRotationZ(z, 256);
  // About X, +y turns to -z; about Y, +z turns to -x; about Z, +x turns to -y.
  const TurnedRay ax = TurnVector(x, 0, 1, 0);
  EXPECT_NEAR(ax.d[1], 0.0f, 1e-6f);
  EXPECT_EQ(ax.d[2], -1.0f);
  const TurnedRay ay = TurnVector(y, 0, 0, 1);
  EXPECT_EQ(ay.d[0], -1.0f);
  const TurnedRay az = TurnVector(z, 1, 0, 0);
  EXPECT_EQ(az.d[1], -1.0f);
  // Each rotation leaves its own axis and writes only its four entries.
  EXPECT_EQ(TurnVector(x, 1, 0, 0).d[0], 1.0f);
  EXPECT_EQ(TurnVector(y, 0, 1, 0).d[1], 1.0f);
  EXPECT_EQ(TurnVector(z, 0, 0, 1).d[2], 1.0f);
  RotationMatrix sentinel = Filled(9.0f);
  SetRotationY(sentinel, 100);
  EXPECT_EQ(sentinel.m[1], 9.0f);
  EXPECT_EQ(sentinel.m[5], 9.0f);
  EXPECT_EQ(sentinel.m[0], CosTable[100]);
  EXPECT_EQ(sentinel.m[2], SinTable[100]);
  EXPECT_EQ(sentinel.m[8], -SinTable[100]);
}

// The product the way a reader of the formula would write it, into a fresh matrix.
RotationMatrix Product(const RotationMatrix& a, const RotationMatrix& b) {
  RotationMatrix p = a;
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) {
      float sum = a.m[4 * r] * b.m[c];
      sum += a.m[4 * r + 1] * b.m[4 + c];
      sum += a.m[4 * r + 2] * b.m[8 + c];
      p.m[4 * r + c] = sum;
    }
  return p;
}

TEST_F(RayGridTest, SquaringInPlaceComputesEveryProductFirst) {
  RotationMatrix m = Filled(5.0f);
  const float values[9] = {1.5f, -2.0f, 0.25f, 3.0f, 0.5f, -1.0f, 2.0f, 4.0f, -0.75f};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) m.m[4 * r + c] = values[3 * r + c];
  const RotationMatrix expected = Product(m, m);
  MultiplyInPlace(m, m);
  ExpectSame3x3(m, expected);
  // m[0][0] of the square: 1.5 * 1.5 + -2 * 3 + 0.25 * 2.
  EXPECT_EQ(m.m[0], -3.25f);
  for (int i : {3, 7, 11, 12, 13, 14, 15}) EXPECT_EQ(m.m[i], 5.0f) << "fourth row and column untouched";
}

TEST_F(RayGridTest, ViewMatrixTurnsAboutXThenYThenZ) {
  RotationMatrix x, y, z, identity;
  SetIdentity(identity);
  x = y = z = identity;
  SetRotationX(x, 70);
  SetRotationY(y, -40);
  SetRotationZ(z, 300);
  const RotationMatrix expected = Product(Product(Product(identity, x), y), z);
  RotationMatrix view;
  BuildViewMatrix(view, 70, -40, 300);
  ExpectSame3x3(view, expected);
  const RotationMatrix reversed = Product(Product(z, y), x);
  EXPECT_NE(view.m[1], reversed.m[1]) << "the order of the turns shows in the result";
}

// A grid of `rows` rows whose every entry holds a marker, so unwritten entries show.
struct TestGrid {
  explicit TestGrid(int rows) : u(rows * kRayGridColumns, 0xDEADu), v(u), w(u), grid{u.data(), v.data(), w.data()} {}
  std::vector<std::uint32_t> u, v, w;
  RayGrid grid;
};

TEST_F(RayGridTest, RefinementHalvesWithTruncationRowsFirst) {
  TestGrid t(17);
  // Coarse nodes of U along row 0: 0, 7, 0 ...; row 8: 100 everywhere; row 16: 0x10 and a value
  // near the top of the range, whose sum wraps before the shift.
  for (int x = 0; x < kRayGridColumns; x += 8) {
    t.u[RayGridIndex(0, x)] = (x / 8) % 2 == 1 ? 7 : 0;
    t.u[RayGridIndex(8, x)] = 100;
    t.u[RayGridIndex(16, x)] = (x / 8) % 2 == 1 ? 0xFFFFFFF0u : 0x30u;
    t.v[RayGridIndex(0, x)] = t.v[RayGridIndex(8, x)] = t.v[RayGridIndex(16, x)] = 1;
    t.w[RayGridIndex(0, x)] = t.w[RayGridIndex(8, x)] = t.w[RayGridIndex(16, x)] = 0;
  }
  t.w[RayGridIndex(16, 8)] = 8;
  RefineRayGrid(t.grid, 16);

  // Row 0 from 0 to 7: 3 at x=4, then 1 and 5, then 0, 2, 4, 6: truncation at every step.
  const std::uint32_t row0[9] = {0, 0, 1, 2, 3, 4, 5, 6, 7};
  for (int x = 0; x <= 8; ++x) EXPECT_EQ(t.u[RayGridIndex(0, x)], row0[x]) << x;
  EXPECT_EQ(t.u[RayGridIndex(0, 12)], 3u) << "and back down from 7 to 0";
  // Row 16: (0x30 + 0xFFFFFFF0) wraps to 0x20 before the shift.
  EXPECT_EQ(t.u[RayGridIndex(16, 4)], 0x10u);
  // Columns: row 4 between 0 (row 0) and 100 (row 8) is 50, row 2 is 25, row 1 is 12, row 3 is 37.
  EXPECT_EQ(t.u[RayGridIndex(4, 0)], 50u);
  EXPECT_EQ(t.u[RayGridIndex(2, 0)], 25u);
  EXPECT_EQ(t.u[RayGridIndex(1, 0)], 12u);
  EXPECT_EQ(t.u[RayGridIndex(3, 0)], 37u);
  // Row 4, column 4: the rows pass has made row 0 give 3 there, so (3 + 100) >> 1.
  EXPECT_EQ(t.u[RayGridIndex(4, 4)], 51u);
  // W: 8 at node (16, 8); row 16 x=4 is 4, x=2 is 2; row 12 is (0 + 4) >> 1 from row 8's 0.
  EXPECT_EQ(t.w[RayGridIndex(16, 4)], 4u);
  EXPECT_EQ(t.w[RayGridIndex(12, 4)], 2u);
  EXPECT_EQ(t.w[RayGridIndex(14, 4)], 3u);
  // V stays 1 everywhere it is written; column 512 is written too.
  for (int y = 0; y <= 16; ++y)
    for (int x = 0; x < kRayGridColumns; ++x) ASSERT_EQ(t.v[RayGridIndex(y, x)], 1u) << y << "," << x;
}

// The six passes literally as listed, pass after pass over the whole grid.
void RefineLiterally(std::vector<std::uint32_t>& g, int lastRow) {
  auto at = [&](int y, int x) -> std::uint32_t& { return g[RayGridIndex(y, x)]; };
  for (int h : {4, 2, 1})
    for (int y = 0; y <= lastRow; y += 8)
      for (int x = h; x <= 512 - h; x += 2 * h) at(y, x) = (at(y, x - h) + at(y, x + h)) >> 1;
  for (int h : {4, 2, 1})
    for (int y = h; y <= lastRow - h; y += 2 * h)
      for (int x = 0; x <= 512; ++x) at(y, x) = (at(y - h, x) + at(y + h, x)) >> 1;
}

TEST_F(RayGridTest, RefinementOfRandomNodesMatchesThePassesAndStopsAtTheLastRow) {
  TestGrid t(188);
  std::mt19937 random(11);
  for (int y = 0; y <= 184; y += 8)
    for (int x = 0; x < kRayGridColumns; x += 8) {
      t.u[RayGridIndex(y, x)] = random();
      t.v[RayGridIndex(y, x)] = random() >> 20;
      t.w[RayGridIndex(y, x)] = random() & 511;
    }
  std::vector<std::uint32_t> u = t.u, v = t.v, w = t.w;
  RefineRayGrid(t.grid, 184);
  RefineLiterally(u, 184);
  RefineLiterally(v, 184);
  RefineLiterally(w, 184);
  EXPECT_EQ(t.u, u);
  EXPECT_EQ(t.v, v);
  EXPECT_EQ(t.w, w);
  for (int x = 0; x < kRayGridColumns; ++x) EXPECT_EQ(t.u[RayGridIndex(185, x)], 0xDEADu);
}

TEST_F(RayGridTest, FillAddsClampedFogGreyToTheWrappedTexel) {
  std::vector<std::uint32_t> texture(256 * 256);
  for (int i = 0; i < 256 * 256; ++i) texture[i] = static_cast<std::uint32_t>(i) * 2654435761u & 0x00FFFFFFu;
  texture[256 * 7 + 5] = 0x00102030;
  texture[256 * 0 + 3] = 0xAB405060;  // an unused byte that must come through
  TestGrid t(3);
  std::fill(t.w.begin(), t.w.end(), 0u);
  for (int x = 0; x < kRayGridColumns; ++x) {
    t.u[RayGridIndex(0, x)] = 256 + 5;  // wraps to column 5
    t.v[RayGridIndex(0, x)] = 0xFFFFFFFFu;  // with offset 8, wraps to row 7
    t.u[RayGridIndex(1, x)] = 3;
    t.v[RayGridIndex(1, x)] = 0xFFFFFFF8u;  // + 8 = 0: row 0
  }
  const std::uint32_t fogs[8] = {0, 1, 0x20, 254, 255, 256, 0x80000000u, 0xFFFFFFFFu};
  for (int x = 0; x < 8; ++x) t.w[RayGridIndex(0, x)] = t.w[RayGridIndex(1, x)] = fogs[x];
  for (PixelPath path : {PixelPath::kScalar, PixelPath::kPacked}) {
    SCOPED_TRACE(path == PixelPath::kScalar ? "scalar" : "packed");
    std::vector<std::uint32_t> canvas(3 * 512, 0x11111111u);
    FillFromRayGrid(t.grid, texture.data(), 8, 2, canvas.data(), path);

    EXPECT_EQ(canvas[0], 0x00102030u) << "fog 0 leaves the texel";
    EXPECT_EQ(canvas[1], 0x00112131u);
    EXPECT_EQ(canvas[2], 0x00304050u);
    EXPECT_EQ(canvas[3], 0x00FFFFFFu) << "saturates";
    for (int x = 4; x < 8; ++x) EXPECT_EQ(canvas[x], 0x00FFFFFFu) << "fog " << fogs[x] << " turns white";
    EXPECT_EQ(canvas[512], 0xAB405060u) << "the texel's unused byte stays";
    EXPECT_EQ(canvas[512 + 2], 0xAB607080u);
    EXPECT_EQ(canvas[512 + 7], 0xABFFFFFFu);
    for (int x = 0; x < 512; ++x) EXPECT_EQ(canvas[1024 + x], 0x11111111u) << "only the asked rows";
  }
}

TEST_F(RayGridTest, FillOfRandomGridMatchesThePerPixelRule) {
  std::vector<std::uint32_t> texture(256 * 256);
  std::mt19937 random(5);
  for (std::uint32_t& p : texture) p = random() & 0x00FFFFFFu;
  TestGrid t(40);
  for (std::size_t n = 0; n < t.u.size(); ++n) {
    t.u[n] = random();
    t.v[n] = random();
    t.w[n] = random() % 3 == 0 ? random() : random() % 300;
  }
  for (std::int32_t offset : {0, 77, -123456, std::numeric_limits<std::int32_t>::max()}) {
    for (PixelPath path : {PixelPath::kScalar, PixelPath::kPacked}) {
      std::vector<std::uint32_t> canvas(40 * 512);
      FillFromRayGrid(t.grid, texture.data(), offset, 40, canvas.data(), path);
      for (int r = 0; r < 40; ++r)
        for (int x = 0; x < 512; ++x) {
          const std::size_t n = RayGridIndex(r, x);
          const std::uint32_t row = (t.v[n] + static_cast<std::uint32_t>(offset)) & 255;
          const std::uint32_t texel = texture[256 * row + (t.u[n] & 255)];
          const std::uint32_t fog = t.w[n] >= 256 ? 255 : t.w[n];
          std::uint32_t expected = 0;
          for (int shift = 0; shift < 24; shift += 8)
            expected |= std::min<std::uint32_t>(((texel >> shift) & 255) + fog, 255) << shift;
          ASSERT_EQ(canvas[512 * r + x], expected) << "row " << r << " column " << x << " offset " << offset;
        }
    }
  }
}

}  // namespace
