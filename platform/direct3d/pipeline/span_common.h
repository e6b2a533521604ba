// What the four span paths share (the reference and packed shaders, and the wide shader built
// for AVX2 and for AVX-512): the per-pixel choice of texture filter, the depth as each depth
// surface stores it, and the choice of a shader instance per target format.
#pragma once

#include <cstdint>

#include "platform/direct3d/pipeline/lanes.h"
#include "platform/direct3d/pipeline/pipeline.h"
#include "platform/direct3d/pipeline/render_target.h"
#include "platform/direct3d/pipeline/texture_sampling.h"

// Whether a texel is larger than a pixel here, decided per pixel from the texture coordinates'
// rates of change. With U = u q and Q = q interpolated linearly, du/dx = (U_x Q - U Q_x) / Q^2;
// along a row the numerator of the x rate is constant and that of the y rate linear, so the test
// "largest squared rate, in texels, at most 1" costs a few products per pixel.
class MagnificationTest {
 public:
  MagnificationTest(const Gradients& g, const float* start, float width, float height) {
    const float q0 = start[kAttrQ], u0 = start[kAttrU], v0 = start[kAttrV];
    const float w2 = width * width, h2 = height * height;
    const float nux = g.dx[kAttrU] * q0 - u0 * g.dx[kAttrQ];
    const float nvx = g.dx[kAttrV] * q0 - v0 * g.dx[kAttrQ];
    rateX_ = w2 * nux * nux + h2 * nvx * nvx;
    nuy_ = g.dy[kAttrU] * q0 - u0 * g.dy[kAttrQ];
    nvy_ = g.dy[kAttrV] * q0 - v0 * g.dy[kAttrQ];
    nuyStep_ = g.dy[kAttrU] * g.dx[kAttrQ] - g.dx[kAttrU] * g.dy[kAttrQ];
    nvyStep_ = g.dy[kAttrV] * g.dx[kAttrQ] - g.dx[kAttrV] * g.dy[kAttrQ];
    w2_ = w2;
    h2_ = h2;
  }

  bool Magnified(float i, float q) const {
    const float nuy = nuy_ + nuyStep_ * i, nvy = nvy_ + nvyStep_ * i;
    const float rateY = w2_ * nuy * nuy + h2_ * nvy * nvy;
    const float q2 = q * q;
    return (rateX_ > rateY ? rateX_ : rateY) <= q2 * q2;
  }

 private:
  float rateX_, nuy_, nvy_, nuyStep_, nvyStep_, w2_, h2_;
};

// Texture coordinates, colours and highlights are worked out perspective-correct at every
// sixteenth pixel of a span and at its last pixel, and stepped linearly in exact integer
// arithmetic in between: over sixteen pixels the difference from per-pixel division stays far
// below a texel and a colour step, and the steps are the same integers for both span shaders,
// which take the pixels eight at a time.
inline constexpr int kSegment = 16;
inline constexpr int kGroup = 8;

// The values at one pixel: texel coordinates as 16.16 fixed-point numbers (floored; u and v in
// lanes 0 and 1), colours and highlights as bytes with eight bits of fraction (blue, green, red
// and a zero lane), and the filter.
struct PixelValues {
  Int4 texel;
  Int4 colour;
  Int4 specular;
  bool linear;
};

// Colour channels in [0, 1] as bytes with eight bits of fraction, rounded to the nearest byte by
// the half added; NaN and values outside are pinned.
template <class Value>
auto UnitToFixedByte(Value c) {
  Value v = c * 255.0f + 0.5f;
  v = v > 0.0f ? v : 0.0f;
  v = v < 255.99609375f ? v : 255.99609375f;
  return Truncate(v * 256.0f);
}

class SpanEvaluator {
 public:
  SpanEvaluator(const Gradients& g, const float* start, const PixelState& state)
      : state_(state),
        q_(start[kAttrQ]),
        dq_(g.dx[kAttrQ]),
        colour_{start[kAttrB], start[kAttrG], start[kAttrR], 0},
        dColour_{g.dx[kAttrB], g.dx[kAttrG], g.dx[kAttrR], 0},
        specular_{start[kAttrSB], start[kAttrSG], start[kAttrSR], 0},
        dSpecular_{g.dx[kAttrSB], g.dx[kAttrSG], g.dx[kAttrSR], 0},
        texture_{start[kAttrU], start[kAttrV], 0, 0},
        dTexture_{g.dx[kAttrU], g.dx[kAttrV], 0, 0},
        textureSize_{state.texture.width, state.texture.height, 0, 0},
        magnification_(g, start, state.texture.width, state.texture.height),
        filterChoice_(state.textured && state.magnifyLinear != state.minifyLinear) {}

  // The perspective-correct values at pixel i of the span.
  PixelValues At(int i) const {
    const float fi = static_cast<float>(i);
    const float q = q_ + dq_ * fi;
    const float w = 1.0f / q;
    PixelValues p{};
    p.colour = UnitToFixedByte((colour_ + dColour_ * fi) * w);
    if (state_.specular) p.specular = UnitToFixedByte((specular_ + dSpecular_ * fi) * w);
    if (state_.textured) {
      p.texel = FixedTexelCoordinate((texture_ + dTexture_ * fi) * w * textureSize_);
      p.linear = filterChoice_ ? (magnification_.Magnified(fi, q) ? state_.magnifyLinear : state_.minifyLinear)
                               : state_.magnifyLinear;
    }
    return p;
  }

 private:
  const PixelState& state_;
  float q_, dq_;
  Float4 colour_, dColour_, specular_, dSpecular_, texture_, dTexture_, textureSize_;
  MagnificationTest magnification_;
  bool filterChoice_;
};

// The values of a group's pixels: pixel k is start + k * step, with the filter of the start.
struct Segment {
  PixelValues start;
  Int4 dTexel, dColour, dSpecular;

  // From the values at a segment's first pixel to those `length` pixels on (length 0: one pixel).
  static Segment Between(const PixelValues& a, const PixelValues& b, int length) {
    if (length == 0) return Segment{a, Int4{}, Int4{}, Int4{}};
    return Segment{a, Steps<Double4, double>(b.texel - a.texel, length),
                   Steps<Float4, float>(b.colour - a.colour, length),
                   Steps<Float4, float>(b.specular - a.specular, length)};
  }

  // The same steps from pixel k on.
  Segment From(int k) const { return Segment{At(k), dTexel, dColour, dSpecular}; }

  PixelValues At(int k) const {
    PixelValues p = start;
    p.texel += k * dTexel;
    p.colour += k * dColour;
    p.specular += k * dSpecular;
    return p;
  }

 private:
  using Double4 = double __attribute__((vector_size(32)));

  // d / length rounded toward zero, as integer division gives it, for lengths 1 to 16. Powers of
  // two, the full segment's length among them, take a shift: a negative difference rounded up
  // first truncates toward zero too. For other lengths a quotient that is a whole number comes out
  // of the division exact; any other lies at least 1/16 from the nearest whole number, far beyond
  // the rounding of the division, so truncating it gives the integer quotient. Colour differences
  // stay below 2^16, where single precision is enough; texel differences need double.
  template <class Real4, class Real>
  static Int4 Steps(Int4 d, int length) {
    if ((length & (length - 1)) == 0) return (d + ((d >> 31) & (length - 1))) >> __builtin_ctz(static_cast<unsigned>(length));
    return __builtin_convertvector(__builtin_convertvector(d, Real4) / static_cast<Real>(length), Int4);
  }
};

// Runs `shade(first, count, segment)` over the span's segments of up to sixteen pixels,
// `segment` giving the values from the segment's first pixel on.
template <class ShadeSegment>
void ForEachSegment(const SpanEvaluator& evaluator, int pixels, ShadeSegment shade) {
  // Segment ends are worked out a batch at a time before any is used: each is a division and a
  // chain of conversions, and independent ones overlap where one after the other would wait.
  constexpr int kBatch = 8;
  PixelValues ends[kBatch + 1];
  ends[0] = evaluator.At(0);
  for (int first = 0; first < pixels; first += kBatch * kSegment) {
    int points = 0;
    for (int j = 1; j <= kBatch; ++j) {
      // A segment ends at the next segment's first pixel, or at the span's last.
      const int end = first + j * kSegment < pixels - 1 ? first + j * kSegment : pixels - 1;
      if (end <= first + (j - 1) * kSegment) break;
      ends[j] = evaluator.At(end);
      points = j;
    }
    for (int j = 0; j < kBatch && first + j * kSegment < pixels; ++j) {
      const int start = first + j * kSegment;
      const int left = pixels - start;
      // The span's last pixel, alone in its segment, is its own end.
      const Segment segment = j < points ? Segment::Between(ends[j], ends[j + 1], (left - 1 < kSegment ? left - 1 : kSegment))
                                         : Segment::Between(ends[j], ends[j], 0);
      shade(start, left < kSegment ? left : kSegment, segment);
    }
    ends[0] = ends[kBatch];
  }
}

// Runs `shade(first, count, segment)` over the span's groups of up to eight pixels, `segment`
// giving the values from the group's first pixel on.
template <class ShadeGroup>
void ForEachGroup(const SpanEvaluator& evaluator, int pixels, ShadeGroup shade) {
  static_assert(kSegment == 2 * kGroup);
  ForEachSegment(evaluator, pixels, [&shade](int first, int count, const Segment& segment) {
    shade(first, count < kGroup ? count : kGroup, segment);
    if (count > kGroup) shade(first + kGroup, count - kGroup, segment.From(kGroup));
  });
}

// The depth as the depth surface stores it, and whether a new value passes LESSEQUAL.
template <DepthFormat D>
struct Depth;

template <>
struct Depth<DepthFormat::kNone> {
  static constexpr int kBytes = 0;
  using Value = float;
  static Value From(float z) { return z; }
  static bool Passes(Value, const std::uint8_t*) { return true; }
  static void Store(std::uint8_t*, Value) {}
};

template <>
struct Depth<DepthFormat::kFixed16> {
  static constexpr int kBytes = 2;
  using Value = std::uint16_t;
  static Value From(float z) {
    z = z * 65535.0f + 0.5f;
    return static_cast<Value>(z > 0 ? (z < 65535.0f ? z : 65535.0f) : 0.0f);
  }
  static bool Passes(Value v, const std::uint8_t* at) { return v <= LoadDepth16(at); }
  static void Store(std::uint8_t* at, Value v) { StoreDepth16(at, v); }
};

template <>
struct Depth<DepthFormat::kFloat32> {
  static constexpr int kBytes = 4;
  using Value = float;
  static Value From(float z) { return z > 0 ? (z < 1 ? z : 1.0f) : 0.0f; }
  static bool Passes(Value v, const std::uint8_t* at) { return v <= LoadDepth32(at); }
  static void Store(std::uint8_t* at, Value v) { StoreDepth32(at, v); }
};

template <ColourFormat F>
inline constexpr int kBytesOf = F == ColourFormat::kRgb32 ? 4 : F == ColourFormat::kRgb24 ? 3 : 2;

// The depth surface at pixel (x, y); null without one.
template <DepthFormat D>
std::uint8_t* DepthRow(const RenderTarget& target, int y, int x) {
  if constexpr (Depth<D>::kBytes == 0) return nullptr;
  else return target.depth + static_cast<std::ptrdiff_t>(y) * target.depthPitch + x * Depth<D>::kBytes;
}

// A group's depths as the depth surface keeps them, and which of its pixels pass LESSEQUAL, one
// pixel at a time: the packed shaders' way for the formats they do not take whole registers of.
template <DepthFormat D>
struct PixelwiseGroupDepth {
  using DepthOf = Depth<D>;
  typename DepthOf::Value z[kGroup];

  PixelwiseGroupDepth(const float* s, const Gradients& g, int first) {
    for (int k = 0; k < kGroup; ++k) z[k] = DepthOf::From(s[kAttrZ] + g.dx[kAttrZ] * static_cast<float>(first + k));
  }

  unsigned Passing(const std::uint8_t* depth, int count) const {
    unsigned pass = 0;
    for (int k = 0; k < count; ++k) pass |= static_cast<unsigned>(DepthOf::Passes(z[k], depth + k * DepthOf::kBytes)) << k;
    return pass;
  }

  void Store(std::uint8_t* depth, unsigned pass, int count) const {
    for (int k = 0; k < count; ++k) {
      if (pass & (1u << k)) DepthOf::Store(depth + k * DepthOf::kBytes, z[k]);
    }
  }
};

// The pixels of a group that lie in the span: the first `count`.
inline unsigned FirstPixels(int count) { return (1u << count) - 1; }

// How many of a group's depths to read: a group that ends short of the span's end but inside the
// row (`room` pixels from the span's start to the row's end) is read whole, which costs less than
// reading its pixels one by one, and only its first `count` results are kept.
inline int DepthsToRead(int first, int count, int room) { return first + kGroup <= room ? kGroup : count; }

// Whether any pixel of a span passes the depth test, tested group by group as the groups will
// test them: a span wholly behind what is drawn is left before its values are worked out.
template <class GroupDepth, DepthFormat D>
bool AnyPasses(const float* s, const Gradients& g, const std::uint8_t* depthRow, int pixels, int room) {
  for (int first = 0; first < pixels; first += kGroup) {
    const int count = pixels - first < kGroup ? pixels - first : kGroup;
    const std::uint8_t* depth = depthRow + first * Depth<D>::kBytes;
    if (GroupDepth(s, g, first).Passing(depth, DepthsToRead(first, count, room)) & FirstPixels(count)) return true;
  }
  return false;
}

// The instance of a span shader template for the target's colour and depth formats.
template <template <ColourFormat, DepthFormat> class Shader>
SpanShader SelectSpanShader(ColourFormat colour, DepthFormat depth) {
  auto forDepth = [depth]<ColourFormat F>() -> SpanShader {
    switch (depth) {
      case DepthFormat::kFixed16: return Shader<F, DepthFormat::kFixed16>::Shade;
      case DepthFormat::kFloat32: return Shader<F, DepthFormat::kFloat32>::Shade;
      default: return Shader<F, DepthFormat::kNone>::Shade;
    }
  };
  switch (colour) {
    case ColourFormat::kRgb24: return forDepth.template operator()<ColourFormat::kRgb24>();
    case ColourFormat::kRgb565: return forDepth.template operator()<ColourFormat::kRgb565>();
    default: return forDepth.template operator()<ColourFormat::kRgb32>();
  }
}
