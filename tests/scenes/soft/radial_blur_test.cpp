#include "scenes/soft/radial_blur.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "core/tables.h"

namespace {

constexpr int kAreaPixels = kTunnelAreaWidth * kTunnelAreaRows;
// Every blur parameter repeats after lcm(5, 6, 8) * 1024 ms.
constexpr std::uint32_t kBlurPeriod = 122880;

class RadialBlurTest : public ::testing::Test {
 protected:
  void SetUp() override { BuildTables(); }
  void TearDown() override { FreeTables(); }

  BlurSplit Tables(std::uint32_t a) { return ComputeBlurTables(a, columns.data(), rows.data()); }

  std::vector<std::int32_t> columns = std::vector<std::int32_t>(kTunnelAreaWidth);
  std::vector<std::int32_t> rows = std::vector<std::int32_t>(kTunnelAreaRows);
};

std::vector<std::uint32_t> Noise(unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::uint32_t> area(kAreaPixels);
  for (std::uint32_t& p : area) p = random() & 0x00FFFFFFu;
  return area;
}

TEST_F(RadialBlurTest, AtTimeZeroTheCentreIsColumn256AndTheRowsFollowTheCosine) {
  const BlurSplit split = Tables(0);
  const float cy = 85.0f * CosTable[34];
  EXPECT_EQ(split.i0, 256);
  EXPECT_EQ(split.i1, 257);
  EXPECT_EQ(split.j0, static_cast<int>(90.0f + cy));
  EXPECT_EQ(split.j0, 173);
  EXPECT_EQ(split.j1, 174);
  for (int i = 0; i < kTunnelAreaWidth; ++i) ASSERT_EQ(columns[i], 0) << "sin of 0 leaves no column strength";
  for (int j = 0; j < kTunnelAreaRows; ++j) {
    const float distance = static_cast<float>(j) - cy - 90.0f;
    EXPECT_EQ(rows[j], static_cast<std::int32_t>(std::fabs(distance * 0.023f) * 256.0f)) << j;
  }
  EXPECT_EQ(rows[0], 1019) << "173.17 rows from the centre, 0.023 of that in 8.8";
}

TEST_F(RadialBlurTest, WithNoColumnStrengthTheBlurOnlySmearsVertically) {
  const std::uint32_t a = 8192 + 7;  // a / 8 is 1024: the table angle 0
  const BlurSplit split = Tables(a);
  ASSERT_NE(split.i0, 256) << "the centre has moved sideways";
  for (int i = 0; i < kTunnelAreaWidth; ++i) ASSERT_EQ(columns[i], 0);
  std::vector<std::uint32_t> area = Noise(1);
  std::vector<std::uint32_t> changed = area;
  for (int j = 0; j < kTunnelAreaRows; ++j) changed[j * kTunnelAreaWidth + 100] ^= 0x00808080u;
  ApplyRadialBlur(area.data(), columns.data(), rows.data(), split, PixelPath::kPacked);
  ApplyRadialBlur(changed.data(), columns.data(), rows.data(), split, PixelPath::kPacked);
  int differing = 0;
  for (int j = 0; j < kTunnelAreaRows; ++j)
    for (int i = 0; i < kTunnelAreaWidth; ++i) {
      const bool differs = area[j * kTunnelAreaWidth + i] != changed[j * kTunnelAreaWidth + i];
      if (i != 100) {
        ASSERT_FALSE(differs) << "column " << i << " row " << j;
      }
      differing += differs;
    }
  EXPECT_GT(differing, kTunnelAreaRows / 2);
}

TEST_F(RadialBlurTest, EverySampleStaysInsideTheAreaOverAWholePeriod) {
  int lastColumnReached = 0;
  int rightQuadrantsSkipped = 0;
  for (std::uint32_t a = 0; a < kBlurPeriod; ++a) {
    // The parameters change only where a / 5, a / 6 or a / 8 steps.
    if (a % 5 != 0 && a % 6 != 0 && a % 8 != 0) continue;
    const BlurSplit s = Tables(a);
    ASSERT_TRUE(s.i0 >= 0 && s.i0 < kTunnelAreaWidth && s.i1 == s.i0 + 1) << a;
    ASSERT_TRUE(s.j0 >= 0 && s.j1 == s.j0 + 1 && s.j1 < kTunnelAreaRows) << a;
    rightQuadrantsSkipped += s.i1 == kTunnelAreaWidth;
    for (int i = 0; i <= s.i0; ++i) {
      const int sx = i + (columns[i] >> 8);
      ASSERT_LE(sx, s.i0) << a;
      if (sx + 1 == kTunnelAreaWidth) {
        ASSERT_EQ(columns[i] & 255, 0) << "column 512 is only ever read with weight 0, a = " << a;
        ++lastColumnReached;
      }
    }
    for (int i = s.i1; i < kTunnelAreaWidth; ++i) ASSERT_GE(i - (columns[i] >> 8) - 1, s.i0) << a;
    for (int j = 0; j <= s.j0; ++j) ASSERT_LE(j + (rows[j] >> 8) + 1, s.j1) << a;
    for (int j = s.j1; j < kTunnelAreaRows; ++j) ASSERT_GE(j - (rows[j] >> 8) - 1, s.j0) << a;
  }
  EXPECT_GT(lastColumnReached, 0);
  EXPECT_GT(rightQuadrantsSkipped, 0);
}

TEST_F(RadialBlurTest, WeightsSumTo255AndTheUnusedByteEndsAtZero) {
  std::vector<std::uint32_t> area(kAreaPixels, 0xFFFFFFFFu);
  const BlurSplit split = Tables(1234);
  ApplyRadialBlur(area.data(), columns.data(), rows.data(), split, PixelPath::kPacked);
  // The first pixel rewritten samples four untouched whites: 255 * 255 >> 8 is 254 for the top and
  // bottom, 253 for the sample, and (15 * 253 + 255) >> 4 is 253.
  EXPECT_EQ(area[split.j0 * kTunnelAreaWidth + split.i0], 0x00FDFDFDu);
  for (std::uint32_t p : area) ASSERT_EQ(p >> 24, 0u);
  EXPECT_LT(area[0] & 255, 253u) << "the loss compounds outward";
}

// The quadrant table transcribed directly, one byte at a time, with column 512 read as black.
void BlurByTheTable(std::vector<std::uint32_t>& area, const std::vector<std::int32_t>& X,
                    const std::vector<std::int32_t>& Y, const BlurSplit& s) {
  auto P = [&](int r, int c, int shift) -> std::uint32_t {
    return c == 512 ? 0 : (area[r * 512 + c] >> shift) & 255;
  };
  auto pixel = [&](int j, int i, int sx, int second, int sy, int secondRow) {
    const std::uint32_t fx = X[i] & 255, fy = Y[j] & 255;
    std::uint32_t result = 0;
    for (int shift : {0, 8, 16}) {
      const std::uint32_t top = (P(sy, sx, shift) * (255 - fx) + P(sy, second, shift) * fx) >> 8;
      const std::uint32_t bottom = (P(secondRow, sx, shift) * (255 - fx) + P(secondRow, second, shift) * fx) >> 8;
      const std::uint32_t S = (top * (255 - fy) + bottom * fy) >> 8;
      result |= ((15 * S + ((area[j * 512 + i] >> shift) & 255)) >> 4) << shift;
    }
    area[j * 512 + i] = result;
  };
  if (s.j0 >= 0 && s.j0 <= 179) {
    if (s.i0 >= 0 && s.i0 <= 511)
      for (int j = s.j0; j >= 0; --j)
        for (int i = s.i0; i >= 0; --i) {
          const int sx = i + (X[i] >> 8), sy = j + (Y[j] >> 8);
          pixel(j, i, sx, sx + 1, sy, sy + 1);
        }
    if (s.i1 >= 0 && s.i1 <= 511)
      for (int j = s.j0; j >= 0; --j)
        for (int i = s.i1; i <= 511; ++i) {
          const int sx = i - (X[i] >> 8), sy = j + (Y[j] >> 8);
          pixel(j, i, sx, sx - 1, sy, sy + 1);
        }
  }
  if (s.j1 >= 0 && s.j1 <= 179) {
    if (s.i1 >= 0 && s.i1 <= 511)
      for (int j = s.j1; j <= 179; ++j)
        for (int i = s.i1; i <= 511; ++i) {
          const int sx = i - (X[i] >> 8), sy = j - (Y[j] >> 8);
          pixel(j, i, sx, sx - 1, sy, sy - 1);
        }
    if (s.i0 >= 0 && s.i0 <= 511)
      for (int j = s.j1; j <= 179; ++j)
        for (int i = s.i0; i >= 0; --i) {
          const int sx = i + (X[i] >> 8), sy = j - (Y[j] >> 8);
          pixel(j, i, sx, sx + 1, sy, sy - 1);
        }
  }
}

TEST_F(RadialBlurTest, PackedAndPerByteBlursFollowTheQuadrantTable) {
  // 3840 puts the centre on column 511: the right quadrants are skipped and column 512 is sampled.
  for (std::uint32_t a : {0u, 3840u, 8199u, 51234u, 94000u + 7777u}) {
    const BlurSplit split = Tables(a);
    const std::vector<std::uint32_t> source = Noise(a);
    std::vector<std::uint32_t> expected = source, packed = source, perByte = source;
    BlurByTheTable(expected, columns, rows, split);
    ApplyRadialBlur(packed.data(), columns.data(), rows.data(), split, PixelPath::kPacked);
    ApplyRadialBlur(perByte.data(), columns.data(), rows.data(), split, PixelPath::kScalar);
    ASSERT_EQ(packed, expected) << "a = " << a;
    ASSERT_EQ(perByte, expected) << "a = " << a;
    if (a == 3840u) {
      EXPECT_EQ(split.i0, 511);
    }
  }
}

TEST_F(RadialBlurTest, PackedEqualsPerByteOverWholeFramesAtManyTimes) {
  std::mt19937 random(3);
  const std::vector<std::uint32_t> source = Noise(99);
  for (int k = 0; k < 60; ++k) {
    const std::uint32_t a = k < 3 ? 3840u + static_cast<std::uint32_t>(k) : random() % kBlurPeriod;
    const BlurSplit split = Tables(a);
    std::vector<std::uint32_t> packed = source, perByte = source;
    ApplyRadialBlur(packed.data(), columns.data(), rows.data(), split, PixelPath::kPacked);
    ApplyRadialBlur(perByte.data(), columns.data(), rows.data(), split, PixelPath::kScalar);
    ASSERT_EQ(packed, perByte) << "a = " << a;
  }
}

}  // namespace
