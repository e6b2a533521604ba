#include "platform/direct3d/pipeline/rasteriser.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

#include "platform/direct3d/pipeline/lanes.h"


namespace {

// Vertices snap to 1/256 of a pixel; coverage is then decided in exact integer arithmetic.
constexpr int kSubpixelBits = 8;
constexpr std::int64_t kOne = 1 << kSubpixelBits;

std::int64_t FloorDiv(std::int64_t n, std::int64_t d) {  // d > 0
  const std::int64_t q = n / d;
  return (n % d != 0 && n < 0) ? q - 1 : q;
}

// One sloped edge a -> b of a clockwise triangle. A pixel centre P is inside when
// E(P) = (b.x - a.x)(P.y - a.y) - (b.y - a.y)(P.x - a.x) > 0, or = 0 on a top or left edge.
// Along a row E is linear in x, so the row's boundary follows from one floor division, and from
// row to row it moves by a constant quotient and remainder (a carry, taken without a branch).
class EdgeWalker {
 public:
  // An edge that bounds nothing: its bound lies far outside any row on either side, and stays.
  EdgeWalker() = default;
  EdgeWalker(SnappedPoint a, SnappedPoint b, int firstRow) {
    const std::int64_t slope = a.y - b.y;  // E = slope * P.x + K(P.y); never 0 here
    // Left edges run upwards on the screen; their centres belong to the triangle.
    left_ = slope > 0;
    const std::int64_t bias = left_ ? -1 : 0;  // inside: E > bias
    const std::int64_t py = static_cast<std::int64_t>(firstRow) * kOne;
    const std::int64_t k = (b.x - a.x) * (py - a.y) + (b.y - a.y) * a.x;
    const std::int64_t kStep = (b.x - a.x) * kOne;
    // With N = bias - K and D = 256 |slope|: a left edge admits x > N / D, so x >= floor(N / D) + 1;
    // a right edge admits x < -N / D, so x < -floor(N / D).
    divisor_ = std::abs(slope) * kOne;
    const std::int64_t n = bias - k;
    quotient_ = FloorDiv(n, divisor_);
    remainder_ = n - quotient_ * divisor_;
    quotientStep_ = FloorDiv(-kStep, divisor_);
    remainderStep_ = -kStep - quotientStep_ * divisor_;
  }

  bool IsLeft() const { return left_; }
  // A left edge's first pixel inside the row; a right edge's first pixel past it.
  std::int64_t LeftBound() const { return quotient_ + 1; }
  std::int64_t RightBound() const { return -quotient_; }

  void NextRow() {
    quotient_ += quotientStep_;
    remainder_ += remainderStep_;
    const std::int64_t carry = remainder_ >= divisor_;
    quotient_ += carry;
    remainder_ -= carry * divisor_;
  }

 private:
  bool left_ = false;
  std::int64_t divisor_ = 1, quotient_ = -(std::int64_t{1} << 40), remainder_ = 0, quotientStep_ = 0, remainderStep_ = 0;
};

// Absurd vertex data (texture coordinates of 1e38, slivers of no area) can make values beyond
// single precision; they are pinned, because converting them would be undefined.
using Double2 = double __attribute__((vector_size(16)));
using Float2 = float __attribute__((vector_size(8)));

Float2 Narrow(Double2 v) {
  constexpr double kLimit = 1e30;
  v = v > -kLimit ? v : -kLimit;  // a NaN fails the comparison and is pinned too
  v = v < kLimit ? v : kLimit;
  return __builtin_convertvector(v, Float2);
}

void Attributes(const ScreenVertex& v, double out[kAttributeCount]) {
  out[kAttrZ] = v.z;
  out[kAttrQ] = v.q;
  out[kAttrU] = static_cast<double>(v.u) * v.q;
  out[kAttrV] = static_cast<double>(v.v) * v.q;
  out[kAttrR] = static_cast<double>(v.r) * v.q;
  out[kAttrG] = static_cast<double>(v.g) * v.q;
  out[kAttrB] = static_cast<double>(v.b) * v.q;
  out[kAttrSR] = static_cast<double>(v.sr) * v.q;
  out[kAttrSG] = static_cast<double>(v.sg) * v.q;
  out[kAttrSB] = static_cast<double>(v.sb) * v.q;
}

// x rounded to the nearest integer, halves to even, for |x| < 2^24: what llrint gives in the
// default rounding mode, without the library call it would compile to. Adding 1.5 * 2^52 leaves
// no fraction bits in a double, so the sum itself is rounded so.
std::int64_t RoundToEven(float x) {
  constexpr double kShift = 6755399441055744.0;
  return static_cast<std::int64_t>((static_cast<double>(x) + kShift) - kShift);
}

// Snaps a vertex to the subpixel grid. The clipper keeps vertices within a few thousand pixels of
// the viewport; anything else (a NaN from degenerate input) is not drawn.
bool Snap(const ScreenVertex& v, SnappedPoint* p) {
  if (!(std::fabs(v.x) < 65536.0f) || !(std::fabs(v.y) < 65536.0f)) return false;
  *p = {RoundToEven(v.x * static_cast<float>(kOne)), RoundToEven(v.y * static_cast<float>(kOne))};
  return true;
}

// Twice the snapped triangle's area, positive when it runs clockwise on the screen (whose y runs
// downwards); 0 when it has none or a vertex cannot be placed.
std::int64_t SnappedArea(const ScreenVertex* const v[3], SnappedPoint p[3]) {
  for (int i = 0; i < 3; ++i) {
    if (!Snap(*v[i], &p[i])) return 0;
  }
  return (p[1].x - p[0].x) * (p[2].y - p[0].y) - (p[2].x - p[0].x) * (p[1].y - p[0].y);
}

bool Culled(std::int64_t area, CullMode cull) {
  return area == 0 || (cull == CullMode::kCounterClockwise && area < 0) || (cull == CullMode::kClockwise && area > 0);
}

}  // namespace

bool MayDraw(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, CullMode cull, const RECT& scissor) {
  const ScreenVertex* v[3] = {&a, &b, &c};
  SnappedPoint p[3];
  if (Culled(SnappedArea(v, p), cull)) return false;
  // Only centres inside the triangle, or on its edges, are drawn: all within its bounding box.
  auto anyCentre = [](std::int64_t low, std::int64_t high, LONG first, LONG end) {
    return std::max<std::int64_t>(FloorDiv(low + kOne - 1, kOne), first) <= std::min<std::int64_t>(FloorDiv(high, kOne), end - 1);
  };
  return anyCentre(std::min({p[0].x, p[1].x, p[2].x}), std::max({p[0].x, p[1].x, p[2].x}), scissor.left, scissor.right) &&
         anyCentre(std::min({p[0].y, p[1].y, p[2].y}), std::max({p[0].y, p[1].y, p[2].y}), scissor.top, scissor.bottom);
}

bool SetUpTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, const RasterContext& context,
                   TriangleSetup* setup) {
  const ScreenVertex* v[3] = {&a, &b, &c};
  SnappedPoint* p = setup->p;
  std::int64_t area = SnappedArea(v, p);
  if (Culled(area, context.cull)) return false;
  if (area < 0) {
    std::swap(v[1], v[2]);
    std::swap(p[1], p[2]);
    area = -area;
  }

  const std::int64_t minY = std::min({p[0].y, p[1].y, p[2].y});
  const std::int64_t maxY = std::max({p[0].y, p[1].y, p[2].y});
  const int firstRow = static_cast<int>(std::max<std::int64_t>(FloorDiv(minY + kOne - 1, kOne), context.scissor.top));
  int endRow = static_cast<int>(std::min<std::int64_t>(FloorDiv(maxY, kOne) + 1, context.scissor.bottom));
  // The sloped edges bound the rows; a horizontal edge is the triangle's top or bottom. A top edge
  // keeps its centres, which the sloped edges leave in; a bottom edge lying on a row of centres
  // takes that row out.
  for (int i = 0; i < 3; ++i) {
    const SnappedPoint a = p[i], b = p[(i + 1) % 3];
    if (a.y == b.y && b.x < a.x && a.y % kOne == 0) endRow = std::min(endRow, static_cast<int>(a.y / kOne));
  }
  if (firstRow >= endRow) return false;
  setup->firstRow = firstRow;
  setup->endRow = endRow;

  // Attribute planes over the snapped triangle, set up in double precision.
  double values[3][kAttributeCount];
  for (int i = 0; i < 3; ++i) Attributes(*v[i], values[i]);
  const double x0 = static_cast<double>(p[0].x) / kOne, y0 = static_cast<double>(p[0].y) / kOne;
  const double x10 = static_cast<double>(p[1].x - p[0].x) / kOne, y10 = static_cast<double>(p[1].y - p[0].y) / kOne;
  const double x20 = static_cast<double>(p[2].x - p[0].x) / kOne, y20 = static_cast<double>(p[2].y - p[0].y) / kOne;
  const double perArea = static_cast<double>(kOne * kOne) / static_cast<double>(area);
  Gradients& gradients = setup->gradients;
  // Two attributes at a time, every lane worked exactly as one alone would be.
  static_assert(kAttributeCount % 2 == 0);
  for (int k = 0; k < kAttributeCount; k += 2) {
    const Double2 a0{values[0][k], values[0][k + 1]}, a1{values[1][k], values[1][k + 1]}, a2{values[2][k], values[2][k + 1]};
    const Double2 d10 = a1 - a0, d20 = a2 - a0;
    const Float2 dx = Narrow((d10 * y20 - d20 * y10) * perArea), dy = Narrow((d20 * x10 - d10 * x20) * perArea);
    const Float2 at = Narrow(a0);
    for (int j = 0; j < 2; ++j) {
      gradients.dx[k + j] = dx[j];
      gradients.dy[k + j] = dy[j];
      setup->base[k + j] = at[j];
    }
  }
  // Rows start from the first vertex, never more than a few thousand pixels away, so single
  // precision is plenty; every value stays finite (pinned gradients times offsets).
  setup->x0 = static_cast<float>(x0);
  setup->y0 = static_cast<float>(y0);
  return true;
}

void DrawTriangleRows(const TriangleSetup& setup, int top, int bottom, const RasterContext& context) {
  const int firstRow = std::max(top, setup.firstRow), endRow = std::min(bottom, setup.endRow);
  if (firstRow >= endRow) return;
  // A side with one sloped edge keeps a second that bounds nothing, so every row takes the same
  // steps.
  EdgeWalker leftEdges[2], rightEdges[2];
  int lefts = 0, rights = 0;
  for (int i = 0; i < 3; ++i) {
    const SnappedPoint a = setup.p[i], b = setup.p[(i + 1) % 3];
    if (a.y == b.y) continue;
    const EdgeWalker edge(a, b, firstRow);
    if (edge.IsLeft()) leftEdges[lefts++] = edge;
    else rightEdges[rights++] = edge;
  }

  const Gradients& gradients = setup.gradients;
  Float4 base4[3], dx4[3], dy4[3];
  for (int k = 0; k < 3 * 4; ++k) {
    const bool used = k < kAttributeCount;
    base4[k / 4][k % 4] = used ? setup.base[k] : 0.0f;
    dx4[k / 4][k % 4] = used ? gradients.dx[k] : 0.0f;
    dy4[k / 4][k % 4] = used ? gradients.dy[k] : 0.0f;
  }
  float start[3 * 4];
  for (int y = firstRow; y < endRow; ++y) {
    const std::int64_t left = std::max({std::int64_t{context.scissor.left}, leftEdges[0].LeftBound(), leftEdges[1].LeftBound()});
    const std::int64_t right = std::min({std::int64_t{context.scissor.right}, rightEdges[0].RightBound(), rightEdges[1].RightBound()});
    if (left < right) {
      const float offsetX = static_cast<float>(left) - setup.x0, offsetY = static_cast<float>(y) - setup.y0;
      for (int j = 0; j < 3; ++j) {
        const Float4 values = base4[j] + dx4[j] * offsetX + dy4[j] * offsetY;
        std::memcpy(start + 4 * j, &values, sizeof(values));
      }
      context.shadeSpan(context, gradients, y, static_cast<int>(left), static_cast<int>(right), start);
    }
    for (int e = 0; e < 2; ++e) {
      leftEdges[e].NextRow();
      rightEdges[e].NextRow();
    }
  }
}

void DrawTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, const RasterContext& context) {
  TriangleSetup setup;
  if (SetUpTriangle(a, b, c, context, &setup)) DrawTriangleRows(setup, setup.firstRow, setup.endRow, context);
}
