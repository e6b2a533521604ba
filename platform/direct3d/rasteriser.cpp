#include "platform/direct3d/rasteriser.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>


namespace {

// Vertices snap to 1/256 of a pixel; coverage is then decided in exact integer arithmetic.
constexpr int kSubpixelBits = 8;
constexpr std::int64_t kOne = 1 << kSubpixelBits;

std::int64_t FloorDiv(std::int64_t n, std::int64_t d) {  // d > 0
  const std::int64_t q = n / d;
  return (n % d != 0 && n < 0) ? q - 1 : q;
}

struct Fixed {
  std::int64_t x, y;
};

// One edge a -> b of a clockwise triangle. A pixel centre P is inside when
// E(P) = (b.x - a.x)(P.y - a.y) - (b.y - a.y)(P.x - a.x) > 0, or = 0 on a top or left edge.
// Along a row E is linear in x, so the row's boundary follows from one floor division, and from
// row to row it moves by a constant quotient and remainder.
class EdgeWalker {
 public:
  enum Kind { kLeft, kRight, kHorizontal };

  EdgeWalker(Fixed a, Fixed b, int firstRow) {
    const std::int64_t slope = a.y - b.y;  // E = slope * P.x + K(P.y)
    // Left edges run upwards on the screen; a top edge is horizontal with the triangle below it.
    const bool topOrLeft = slope > 0 || (slope == 0 && b.x > a.x);
    const std::int64_t bias = topOrLeft ? -1 : 0;  // inside: E > bias
    const std::int64_t py = static_cast<std::int64_t>(firstRow) * kOne;
    const std::int64_t k = (b.x - a.x) * (py - a.y) + (b.y - a.y) * a.x;
    const std::int64_t kStep = (b.x - a.x) * kOne;
    if (slope == 0) {
      kind_ = kHorizontal;
      value_ = k - bias;  // the row is inside while this is positive
      valueStep_ = kStep;
      return;
    }
    kind_ = slope > 0 ? kLeft : kRight;
    // With N = bias - K and D = 256 |slope|: a left edge admits x > N / D, so x >= floor(N / D) + 1;
    // a right edge admits x < -N / D, so x < -floor(N / D).
    divisor_ = std::abs(slope) * kOne;
    const std::int64_t n = bias - k;
    quotient_ = FloorDiv(n, divisor_);
    remainder_ = n - quotient_ * divisor_;
    quotientStep_ = FloorDiv(-kStep, divisor_);
    remainderStep_ = -kStep - quotientStep_ * divisor_;
  }

  // Narrows the row's span [*left, *right) to this edge's side.
  void Limit(std::int64_t* left, std::int64_t* right) const {
    if (kind_ == kLeft) *left = std::max(*left, quotient_ + 1);
    else if (kind_ == kRight) *right = std::min(*right, -quotient_);
    else if (value_ <= 0) *right = *left;
  }

  void NextRow() {
    if (kind_ == kHorizontal) {
      value_ += valueStep_;
      return;
    }
    quotient_ += quotientStep_;
    remainder_ += remainderStep_;
    if (remainder_ >= divisor_) {
      remainder_ -= divisor_;
      ++quotient_;
    }
  }

 private:
  Kind kind_;
  std::int64_t value_ = 0, valueStep_ = 0;
  std::int64_t divisor_ = 1, quotient_ = 0, remainder_ = 0, quotientStep_ = 0, remainderStep_ = 0;
};

// Absurd vertex data (texture coordinates of 1e38, slivers of no area) can make values beyond
// single precision; they are pinned, because converting them would be undefined.
float Narrow(double v) {
  constexpr double kLimit = 1e30;
  if (v > kLimit) return static_cast<float>(kLimit);
  if (v < -kLimit) return static_cast<float>(-kLimit);
  return v == v ? static_cast<float>(v) : 0.0f;
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

}  // namespace

void DrawTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, const RasterContext& context) {
  const ScreenVertex* v[3] = {&a, &b, &c};
  Fixed p[3];
  for (int i = 0; i < 3; ++i) {
    // The clipper keeps vertices within a few thousand pixels of the viewport; anything else
    // (a NaN from degenerate input) is not drawn.
    if (!(std::fabs(v[i]->x) < 65536.0f) || !(std::fabs(v[i]->y) < 65536.0f)) return;
    p[i] = {std::llrint(v[i]->x * static_cast<float>(kOne)), std::llrint(v[i]->y * static_cast<float>(kOne))};
  }
  // Positive: clockwise on the screen, whose y runs downwards.
  std::int64_t area = (p[1].x - p[0].x) * (p[2].y - p[0].y) - (p[2].x - p[0].x) * (p[1].y - p[0].y);
  if (area == 0) return;
  const bool clockwise = area > 0;
  if ((context.cull == CullMode::kCounterClockwise && !clockwise) || (context.cull == CullMode::kClockwise && clockwise)) {
    return;
  }
  if (!clockwise) {
    std::swap(v[1], v[2]);
    std::swap(p[1], p[2]);
    area = -area;
  }

  const std::int64_t minY = std::min({p[0].y, p[1].y, p[2].y});
  const std::int64_t maxY = std::max({p[0].y, p[1].y, p[2].y});
  const int firstRow = static_cast<int>(std::max<std::int64_t>(FloorDiv(minY + kOne - 1, kOne), context.scissor.top));
  const int endRow = static_cast<int>(std::min<std::int64_t>(FloorDiv(maxY, kOne) + 1, context.scissor.bottom));
  if (firstRow >= endRow) return;

  // Attribute planes over the snapped triangle, set up in double precision.
  double values[3][kAttributeCount];
  for (int i = 0; i < 3; ++i) Attributes(*v[i], values[i]);
  const double x0 = static_cast<double>(p[0].x) / kOne, y0 = static_cast<double>(p[0].y) / kOne;
  const double x10 = static_cast<double>(p[1].x - p[0].x) / kOne, y10 = static_cast<double>(p[1].y - p[0].y) / kOne;
  const double x20 = static_cast<double>(p[2].x - p[0].x) / kOne, y20 = static_cast<double>(p[2].y - p[0].y) / kOne;
  const double determinant = static_cast<double>(area) / (kOne * kOne);
  Gradients gradients;
  float base[kAttributeCount];  // each attribute at the first vertex
  for (int k = 0; k < kAttributeCount; ++k) {
    const double d10 = values[1][k] - values[0][k], d20 = values[2][k] - values[0][k];
    gradients.dx[k] = Narrow((d10 * y20 - d20 * y10) / determinant);
    gradients.dy[k] = Narrow((d20 * x10 - d10 * x20) / determinant);
    base[k] = Narrow(values[0][k]);
  }

  // Rows start from the first vertex, never more than a few thousand pixels away, so single
  // precision is plenty; every value stays finite (pinned gradients times offsets).
  const float x0f = static_cast<float>(x0), y0f = static_cast<float>(y0);
  EdgeWalker edges[3] = {EdgeWalker(p[0], p[1], firstRow), EdgeWalker(p[1], p[2], firstRow),
                         EdgeWalker(p[2], p[0], firstRow)};
  float start[kAttributeCount];
  for (int y = firstRow; y < endRow; ++y) {
    std::int64_t left = context.scissor.left, right = context.scissor.right;
    for (const EdgeWalker& edge : edges) edge.Limit(&left, &right);
    if (left < right) {
      const float offsetX = static_cast<float>(left) - x0f, offsetY = static_cast<float>(y) - y0f;
      for (int k = 0; k < kAttributeCount; ++k) start[k] = base[k] + gradients.dx[k] * offsetX + gradients.dy[k] * offsetY;
      context.shadeSpan(context, gradients, y, static_cast<int>(left), static_cast<int>(right), start);
    }
    for (EdgeWalker& edge : edges) edge.NextRow();
  }
}
