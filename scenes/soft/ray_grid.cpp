#include "scenes/soft/ray_grid.h"

#include <emmintrin.h>

#include <cstdlib>

#include "runtime/errors.h"
#include "runtime/tables.h"

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

// A whole grid row as the average of two others, four entries at a time; the adds wrap the same way.
void AverageRows(std::uint32_t* row, const std::uint32_t* above, const std::uint32_t* below) {
  int x = 0;
  for (; x + 4 <= kRayGridColumns; x += 4) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(above + x));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(below + x));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x), _mm_srli_epi32(_mm_add_epi32(a, b), 1));
  }
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

void FillFromRayGrid(const RayGrid& grid, const std::uint32_t* texture, std::int32_t rowOffset, int rows,
                     std::uint32_t* target) {
  const __m128i offset = _mm_set1_epi32(rowOffset);
  const __m128i low8 = _mm_set1_epi32(0xFF);
  const __m128i zero = _mm_setzero_si128();
  for (int r = 0; r < rows; ++r) {
    const std::size_t n = RayGridIndex(r, 0);
    std::uint32_t* out = target + static_cast<std::size_t>(r) * 512;
    // Four pixels at a time: the texels are fetched one by one, the fog is added to all four.
    for (int x = 0; x < 512; x += 4) {
      const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(grid.U + n + x));
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(grid.V + n + x));
      const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(grid.W + n + x));
      const __m128i row = _mm_and_si128(_mm_add_epi32(v, offset), low8);
      alignas(16) std::uint32_t index[4];
      _mm_store_si128(reinterpret_cast<__m128i*>(index), _mm_or_si128(_mm_slli_epi32(row, 8), _mm_and_si128(u, low8)));
      const __m128i texels = _mm_setr_epi32(static_cast<int>(texture[index[0]]), static_cast<int>(texture[index[1]]),
                                            static_cast<int>(texture[index[2]]), static_cast<int>(texture[index[3]]));
      // Fog values of 256 and more (as unsigned numbers) clamp to 255.
      const __m128i inRange = _mm_cmpeq_epi32(_mm_srli_epi32(w, 8), zero);
      const __m128i fog = _mm_or_si128(_mm_and_si128(inRange, w), _mm_andnot_si128(inRange, low8));
      const __m128i grey = _mm_or_si128(_mm_or_si128(fog, _mm_slli_epi32(fog, 8)), _mm_slli_epi32(fog, 16));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_adds_epu8(texels, grey));
    }
  }
}
