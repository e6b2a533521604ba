#include "scenes/soft/ray_grid.h"

#include <cstdlib>

#include "core/errors.h"
#include "core/tables.h"
#include "scenes/soft/packed_bytes.h"

void SetIdentity(RotationMatrix& matrix) {
  for (int i = 0; i < 12; ++i) matrix.m[i] = 0.0f;
  matrix.m[0] = matrix.m[5] = matrix.m[10] = matrix.m[15] = 1.0f;
}

namespace {

// Writes cos on the diagonal at (p, p) and (q, q), -sin at (p, q) and sin at (q, p).
void SetPlaneRotation(RotationMatrix& matrix, int p, int q, std::int32_t angle) {
  const float s = SinTable[angle & kTableMask];
  const float c = CosTable[angle & kTableMask];
  matrix.m[4 * p + p] = c;
  matrix.m[4 * p + q] = -s;
  matrix.m[4 * q + p] = s;
  matrix.m[4 * q + q] = c;
}

}  // namespace

void SetRotationX(RotationMatrix& matrix, std::int32_t angle) { SetPlaneRotation(matrix, 1, 2, angle); }
// About Y the sine below the diagonal is the negative one.
void SetRotationY(RotationMatrix& matrix, std::int32_t angle) { SetPlaneRotation(matrix, 2, 0, angle); }
void SetRotationZ(RotationMatrix& matrix, std::int32_t angle) { SetPlaneRotation(matrix, 0, 1, angle); }

void MultiplyInPlace(RotationMatrix& a, const RotationMatrix& b) {
  // All nine products are formed before any is stored, so b may be a itself.
  float product[3][3];
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      product[r][c] = a.m[4 * r] * b.m[c] + a.m[4 * r + 1] * b.m[4 + c] + a.m[4 * r + 2] * b.m[8 + c];
    }
  }
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) a.m[4 * r + c] = product[r][c];
  }
}

void BuildViewMatrix(RotationMatrix& matrix, std::int32_t angleX, std::int32_t angleY, std::int32_t angleZ) {
  RotationMatrix x, y, z;
  SetIdentity(matrix);
  SetIdentity(x);
  SetIdentity(y);
  SetIdentity(z);
  SetRotationX(x, angleX);
  SetRotationY(y, angleY);
  SetRotationZ(z, angleZ);
  MultiplyInPlace(matrix, x);
  MultiplyInPlace(matrix, y);
  MultiplyInPlace(matrix, z);
}

TurnedRay TurnVector(const RotationMatrix& matrix, float v0, float v1, float v2) {
  TurnedRay ray;
  for (int c = 0; c < 3; ++c) ray.d[c] = v0 * matrix.m[c] + v1 * matrix.m[4 + c] + v2 * matrix.m[8 + c];
  return ray;
}

void AllocateRayGrid(RayGrid& grid, int rows) {
  const std::size_t bytes = static_cast<std::size_t>(rows) * kRayGridColumns * sizeof(std::uint32_t);
  grid.U = static_cast<std::uint32_t*>(CheckedAlloc(bytes));
  grid.V = static_cast<std::uint32_t*>(CheckedAlloc(bytes));
  grid.W = static_cast<std::uint32_t*>(CheckedAlloc(bytes));
}

void FreeRayGrid(RayGrid& grid) {
  std::free(grid.W);
  std::free(grid.V);
  std::free(grid.U);
  grid = RayGrid{nullptr, nullptr, nullptr};
}

namespace {

// The sum wraps as an unsigned 32-bit value before the shift.
inline std::uint32_t Average(std::uint32_t a, std::uint32_t b) { return (a + b) >> 1; }

// A whole grid row as the average of two others; the sums wrap the same way four at a time.
void AverageRows(std::uint32_t* row, const std::uint32_t* above, const std::uint32_t* below) {
  int x = 0;
#if KALETH_PACKED_PIXELS
  for (; x + 4 <= kRayGridColumns; x += 4) {
    StorePixels4(row + x, _mm_srli_epi32(_mm_add_epi32(LoadPixels4(above + x), LoadPixels4(below + x)), 1));
  }
#endif
  for (; x < kRayGridColumns; ++x) row[x] = Average(above[x], below[x]);
}

void RefineArray(std::uint32_t* grid, int lastRow) {
  for (int y = 0; y <= lastRow; y += kRayGridStep) {
    std::uint32_t* row = grid + RayGridIndex(y, 0);
    for (int h = kRayGridStep / 2; h >= 1; h /= 2) {
      for (int x = h; x < kRayGridColumns - 1; x += 2 * h) row[x] = Average(row[x - h], row[x + h]);
    }
  }
  for (int h = kRayGridStep / 2; h >= 1; h /= 2) {
    for (int y = h; y < lastRow; y += 2 * h) {
      std::uint32_t* row = grid + RayGridIndex(y, 0);
      const std::uint32_t* above = grid + RayGridIndex(y - h, 0);
      const std::uint32_t* below = grid + RayGridIndex(y + h, 0);
      AverageRows(row, above, below);
    }
  }
}

}  // namespace

void RefineRayGrid(RayGrid& grid, int lastRow) {
  RefineArray(grid.U, lastRow);
  RefineArray(grid.V, lastRow);
  RefineArray(grid.W, lastRow);
}

namespace {

// The rows of the three grids and of the canvas that one drawn row uses.
struct FillRow {
  const std::uint32_t* u;
  const std::uint32_t* v;
  const std::uint32_t* w;
  std::uint32_t* out;
};

void FillRowScalar(const FillRow& row, const std::uint32_t* texture, std::uint32_t rowOffset) {
  for (int x = 0; x < 512; ++x) {
    const std::uint32_t texel = texture[((row.v[x] + rowOffset) & 0xFFu) << 8 | (row.u[x] & 0xFFu)];
    const std::uint32_t fog = row.w[x] >= 256 ? 255 : row.w[x];
    row.out[x] = AddBytesSaturating(texel, fog * 0x010101u);
  }
}

#if KALETH_PACKED_PIXELS
void FillRowPacked(const FillRow& row, const std::uint32_t* texture, std::uint32_t rowOffset) {
  const __m128i offset = _mm_set1_epi32(static_cast<int>(rowOffset));
  const __m128i low8 = _mm_set1_epi32(0xFF);
  const __m128i zero = _mm_setzero_si128();
  for (int x = 0; x < 512; x += 4) {
    const __m128i v = _mm_and_si128(_mm_add_epi32(LoadPixels4(row.v + x), offset), low8);
    const __m128i u = _mm_and_si128(LoadPixels4(row.u + x), low8);
    const __m128i w = LoadPixels4(row.w + x);
    // Fog values of 256 and more (as unsigned numbers) clamp to 255.
    const __m128i inRange = _mm_cmpeq_epi32(_mm_srli_epi32(w, 8), zero);
    const __m128i fog = _mm_or_si128(_mm_and_si128(inRange, w), _mm_andnot_si128(inRange, low8));
    const __m128i grey = _mm_or_si128(_mm_or_si128(fog, _mm_slli_epi32(fog, 8)), _mm_slli_epi32(fog, 16));
    StorePixels4(row.out + x, AddBytesSaturating4(GatherPixels4(texture, _mm_or_si128(_mm_slli_epi32(v, 8), u)), grey));
  }
}
#endif

}  // namespace

void FillFromRayGrid(const RayGrid& grid, const std::uint32_t* texture, std::int32_t rowOffset, int rows,
                     std::uint32_t* target, [[maybe_unused]] PixelPath path) {
  // The row offset wraps with V as a 32-bit sum; only its low eight bits count.
  const std::uint32_t offset = static_cast<std::uint32_t>(rowOffset);
  for (int r = 0; r < rows; ++r) {
    const std::size_t n = RayGridIndex(r, 0);
    const FillRow row{grid.U + n, grid.V + n, grid.W + n, target + static_cast<std::size_t>(r) * 512};
#if KALETH_PACKED_PIXELS
    if (path == PixelPath::kPacked) {
      FillRowPacked(row, texture, offset);
      continue;
    }
#endif
    FillRowScalar(row, texture, offset);
  }
}
