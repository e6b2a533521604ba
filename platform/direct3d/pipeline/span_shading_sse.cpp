// The packed span shader: eight pixels at a time. Depths are tested four to a register; colours
// are worked on two pixels to a register, each pixel's blue, green, red and a spare channel in
// 16-bit lanes, so that each step of the colour pipeline is one instruction for two pixels. It
// does the reference shader's integer arithmetic and gives the same bytes.
#include "platform/direct3d/pipeline/span_shading.h"

#ifdef __SSE2__

#include <emmintrin.h>
#ifdef __wasm_simd128__
#include <wasm_simd128.h>
#endif

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "platform/direct3d/pipeline/lanes.h"
#include "platform/direct3d/pipeline/span_common.h"

namespace {

// In WebAssembly a call keeps a function's arrays of registers (the group's texels and pixels) in
// memory on the shadow stack; inlined, they stay in locals. Native code leaves it to the compiler.
#ifdef __wasm_simd128__
#define GROUP_STEP __attribute__((always_inline)) inline
#else
#define GROUP_STEP
#endif

// x / 255 rounded to nearest in every lane, for x <= 255 * 255 (DivideBy255): with a = x + 128,
// (a + (a >> 8)) >> 8 is the top half of a * 257. WebAssembly has no high-half multiply, and
// the one its SSE2 layer builds from widening multiplies and a shuffle is many times slower than
// the shifts; the sum stays below 2^16.
inline __m128i DivideBy255(__m128i x) {
  const __m128i a = _mm_add_epi16(x, _mm_set1_epi16(128));
#ifdef __wasm_simd128__
  return _mm_srli_epi16(_mm_add_epi16(a, _mm_srli_epi16(a, 8)), 8);
#else
  return _mm_mulhi_epu16(a, _mm_set1_epi16(257));
#endif
}

inline __m128i Multiply255(__m128i a, __m128i b) { return DivideBy255(_mm_mullo_epi16(a, b)); }

// a + ((b - a) w) >> 8 with w given as w * 128 in every lane, which is (a (256 - w) + b w) >> 8:
// the doubled difference and the weight times 128 keep the signed 16-bit product's top half exact.
// Without a high-half multiply (WebAssembly) the second form is worked out as it stands: for
// bytes a and b and w below 256 it stays below 2^16.
inline __m128i Mix(__m128i a, __m128i b, __m128i weight128) {
#ifdef __wasm_simd128__
  const __m128i w = _mm_srli_epi16(weight128, 7);
  return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(a, _mm_sub_epi16(_mm_set1_epi16(256), w)), _mm_mullo_epi16(b, w)), 8);
#else
  const __m128i difference = _mm_sub_epi16(b, a);
  return _mm_add_epi16(a, _mm_mulhi_epi16(_mm_add_epi16(difference, difference), weight128));
#endif
}

// Four 32-bit lanes: start, start + step, start + 2 step, start + 3 step (wrapping, as lanes past
// a group's end may run beyond any useful value; they are never written).
inline __m128i Ramp(std::uint32_t start, std::uint32_t step) {
#ifdef __wasm_simd128__
  // One multiply rather than three sums put into lanes one at a time.
  return wasm_i32x4_add(wasm_i32x4_splat(static_cast<int>(start)),
                        wasm_i32x4_mul(wasm_i32x4_splat(static_cast<int>(step)), wasm_i32x4_make(0, 1, 2, 3)));
#else
  return _mm_setr_epi32(static_cast<int>(start), static_cast<int>(start + step), static_cast<int>(start + 2 * step),
                        static_cast<int>(start + 3 * step));
#endif
}

// The low 16 bits of each 32-bit lane, sign-extended, so that packing keeps them as they are.
inline __m128i LowHalves(__m128i v) { return _mm_srai_epi32(_mm_slli_epi32(v, 16), 16); }

// The channels of the group's first two pixels, 16 bits each with a zero spare lane, from the
// 32-bit 8.8 values and their steps: pixel k is start + k step (16-bit lanes wrap, the values
// themselves stay in range).
inline __m128i FirstPair(Int4 start, Int4 step) {
  const __m128i first = reinterpret_cast<__m128i>(start);
  return _mm_packs_epi32(LowHalves(first), LowHalves(_mm_add_epi32(first, reinterpret_cast<__m128i>(step))));
}

// What takes a pair of pixels to the next pair: twice the step in every channel.
inline __m128i PairStep(Int4 step) {
  const __m128i twice = LowHalves(_mm_slli_epi32(reinterpret_cast<__m128i>(step), 1));
  return _mm_packs_epi32(twice, twice);
}

// [w(a) x4 | w(b) x4] for pixels a = 2j, 2j + 1 from eight weights in 16-bit lanes.
inline __m128i PairWeights(__m128i weights, int pair) {
  const __m128i twice = pair < 2 ? _mm_unpacklo_epi16(weights, weights) : _mm_unpackhi_epi16(weights, weights);
  return (pair & 1) ? _mm_unpackhi_epi32(twice, twice) : _mm_unpacklo_epi32(twice, twice);
}

inline __m128i LoadBlock(const std::uint8_t* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); }

// All ones in the 32-bit lanes whose bit is set in the low four bits of `bits`.
inline __m128i LaneMask(unsigned bits) {
  const __m128i lane = _mm_setr_epi32(1, 2, 4, 8);
  return _mm_cmpeq_epi32(_mm_and_si128(_mm_set1_epi32(static_cast<int>(bits)), lane), lane);
}

inline __m128i LoadTexel(const std::uint8_t* at) {
  int v;
  std::memcpy(&v, at, 4);
  return _mm_cvtsi32_si128(v);
}

// Pixels `pair` and `pair + 1` of the group, filtered from the padded texture.
template <int kPair>
inline __m128i BilinearPair(const PaddedTexture& t, const int* offsets, __m128i wx, __m128i wy) {
  const __m128i zero = _mm_setzero_si128();
  const std::uint8_t* first = t.texels.data() + offsets[2 * kPair];
  const std::uint8_t* second = t.texels.data() + offsets[2 * kPair + 1];
  // [left of first, left of second, right of first, right of second], one row at a time.
  const __m128i firstBlock = LoadBlock(first), secondBlock = LoadBlock(second);
  const __m128i upper = _mm_unpacklo_epi32(firstBlock, secondBlock);
  const __m128i lower = _mm_unpackhi_epi32(firstBlock, secondBlock);
  const __m128i weightX = PairWeights(wx, kPair);
  const __m128i top = Mix(_mm_unpacklo_epi8(upper, zero), _mm_unpackhi_epi8(upper, zero), weightX);
  const __m128i bottom = Mix(_mm_unpacklo_epi8(lower, zero), _mm_unpackhi_epi8(lower, zero), weightX);
  return Mix(top, bottom, PairWeights(wy, kPair));
}

template <int kPair>
inline __m128i NearestPair(const PaddedTexture& t, const int* offsets) {
  return _mm_unpacklo_epi8(_mm_unpacklo_epi32(LoadTexel(t.texels.data() + offsets[2 * kPair]),
                                              LoadTexel(t.texels.data() + offsets[2 * kPair + 1])),
                           _mm_setzero_si128());
}

// The group's texels, filtered: pairs of pixels in 16-bit lanes; pairs past `count` pixels are
// left out.
GROUP_STEP void SampleGroup(const PaddedTexture& t, const Segment& segment, int count, __m128i texels[4]) {
  const PixelValues& a = segment.start;
  // Bilinear filtering reads the four centres round the point, half a texel back.
  const std::uint32_t back = a.linear ? 32768u : 0u;
  const std::uint32_t u0 = static_cast<std::uint32_t>(a.texel[0]) - back;
  const std::uint32_t v0 = static_cast<std::uint32_t>(a.texel[1]) - back;
  const std::uint32_t du = static_cast<std::uint32_t>(segment.dTexel[0]);
  const std::uint32_t dv = static_cast<std::uint32_t>(segment.dTexel[1]);
  const __m128i u[2] = {Ramp(u0, du), Ramp(u0 + 4 * du, du)};
  const __m128i v[2] = {Ramp(v0, dv), Ramp(v0 + 4 * dv, dv)};
#ifndef __wasm_simd128__
  const __m128i widthShift = _mm_cvtsi32_si128(t.widthShift);
#endif
  alignas(16) int offsets[kGroup];
  for (int h = 0; h < 2; ++h) {
    const __m128i x = _mm_and_si128(_mm_srai_epi32(u[h], 16), _mm_set1_epi32(t.widthMask));
    const __m128i y = _mm_and_si128(_mm_srai_epi32(v[h], 16), _mm_set1_epi32(t.heightMask));
#ifdef __wasm_simd128__
    // Shifted by the number itself: SSE2's shift by a register's low 64 bits tests them first.
    const __m128i row = wasm_i32x4_shl(y, static_cast<std::uint32_t>(t.widthShift));
#else
    const __m128i row = _mm_sll_epi32(y, widthShift);
#endif
    _mm_store_si128(reinterpret_cast<__m128i*>(offsets + 4 * h), _mm_slli_epi32(_mm_or_si128(row, x), 4));
  }
  texels[1] = texels[2] = texels[3] = _mm_setzero_si128();
  if (!a.linear) {
    texels[0] = NearestPair<0>(t, offsets);
    if (count > 2) texels[1] = NearestPair<1>(t, offsets);
    if (count > 4) texels[2] = NearestPair<2>(t, offsets);
    if (count > 6) texels[3] = NearestPair<3>(t, offsets);
    return;
  }
  // The fraction's top eight bits, times 128.
  const __m128i mask = _mm_set1_epi32(0x7F80);
  const __m128i wx =
      _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(u[0], 1), mask), _mm_and_si128(_mm_srli_epi32(u[1], 1), mask));
  const __m128i wy =
      _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(v[0], 1), mask), _mm_and_si128(_mm_srli_epi32(v[1], 1), mask));
  texels[0] = BilinearPair<0>(t, offsets, wx, wy);
  if (count > 2) texels[1] = BilinearPair<1>(t, offsets, wx, wy);
  if (count > 4) texels[2] = BilinearPair<2>(t, offsets, wx, wy);
  if (count > 6) texels[3] = BilinearPair<3>(t, offsets, wx, wy);
}

// The eight pixels of a group, textured and lit: eight 0x00RRGGBB pixels (those past `count` are
// left unfiltered).
GROUP_STEP void ShadeGroup(const PixelState& state, const Segment& segment, int count, __m128i out[2]) {
  __m128i texels[4];
  if (state.textured) SampleGroup(*state.padded, segment, count, texels);
  __m128i colour = FirstPair(segment.start.colour, segment.dColour);
  const __m128i colourStep = PairStep(segment.dColour);
  __m128i highlight = FirstPair(segment.start.specular, segment.dSpecular);
  const __m128i highlightStep = PairStep(segment.dSpecular);
  __m128i pairs[4];
  for (int pair = 0; pair < 4; ++pair) {
    __m128i rgb = _mm_srli_epi16(colour, 8);
    if (state.textured) rgb = Multiply255(texels[pair], rgb);
    if (state.specular) rgb = _mm_min_epi16(_mm_add_epi16(rgb, _mm_srli_epi16(highlight, 8)), _mm_set1_epi16(255));
    pairs[pair] = rgb;
    colour = _mm_add_epi16(colour, colourStep);
    highlight = _mm_add_epi16(highlight, highlightStep);
  }
  out[0] = _mm_packus_epi16(pairs[0], pairs[1]);
  out[1] = _mm_packus_epi16(pairs[2], pairs[3]);
}

inline __m128i Weigh(__m128i colour, D3DBLEND factor, __m128i source, __m128i dest) {
  switch (factor) {
    case D3DBLEND_ZERO: return _mm_setzero_si128();
    case D3DBLEND_SRCCOLOR: return Multiply255(colour, source);
    case D3DBLEND_DESTCOLOR: return Multiply255(colour, dest);
    default: return colour;
  }
}

// source * sourceFactor + dest * destFactor, for four pixels, two at a time.
__m128i BlendFour(__m128i source, __m128i dest, D3DBLEND sourceFactor, D3DBLEND destFactor) {
  const __m128i zero = _mm_setzero_si128();
  __m128i halves[2];
  for (int j = 0; j < 2; ++j) {
    const __m128i s = j ? _mm_unpackhi_epi8(source, zero) : _mm_unpacklo_epi8(source, zero);
    const __m128i d = j ? _mm_unpackhi_epi8(dest, zero) : _mm_unpacklo_epi8(dest, zero);
    halves[j] = _mm_add_epi16(Weigh(s, sourceFactor, s, d), Weigh(d, destFactor, s, d));
  }
  return _mm_packus_epi16(halves[0], halves[1]);
}

// Float depths four at a time: computed, pinned, compared and stored as whole registers.
struct FloatGroupDepth {
  __m128 z[2];

  FloatGroupDepth(const float* s, const Gradients& g, int first) {
    // Lane by lane the reference's s + dx * i, pinned to [0, 1] (a NaN to 0), for i = first .. first + 7.
    const __m128 index = _mm_add_ps(_mm_set1_ps(static_cast<float>(first)), _mm_setr_ps(0, 1, 2, 3));
    const __m128 start = _mm_set1_ps(s[kAttrZ]), step = _mm_set1_ps(g.dx[kAttrZ]);
    for (int h = 0; h < 2; ++h) {
      const __m128 i = h ? _mm_add_ps(index, _mm_set1_ps(4.0f)) : index;
#ifdef __wasm_simd128__
      // SSE2's min and max as WebAssembly's one-instruction pseudo-minimum and maximum, operands
      // swapped: pmax(0, x) is 0 < x ? x : 0 and pmin(1, x) is x < 1 ? x : 1, as maxps and minps
      // pick (a NaN to 0), where the SSE2 layer builds each from a compare and a select.
      const v128_t pinned = wasm_f32x4_pmax(wasm_f32x4_splat(0.0f), (v128_t)_mm_add_ps(start, _mm_mul_ps(step, i)));
      z[h] = (__m128)wasm_f32x4_pmin(wasm_f32x4_splat(1.0f), pinned);
#else
      z[h] = _mm_min_ps(_mm_max_ps(_mm_add_ps(start, _mm_mul_ps(step, i)), _mm_setzero_ps()), _mm_set1_ps(1.0f));
#endif
    }
  }

  unsigned Passing(const std::uint8_t* depth, int count) const {
    if (count == kGroup) {
      const auto* stored = reinterpret_cast<const float*>(depth);
      return static_cast<unsigned>(_mm_movemask_ps(_mm_cmple_ps(z[0], _mm_loadu_ps(stored)))) |
             static_cast<unsigned>(_mm_movemask_ps(_mm_cmple_ps(z[1], _mm_loadu_ps(stored + 4)))) << 4;
    }
    alignas(16) float values[kGroup];
    _mm_store_ps(values, z[0]);
    _mm_store_ps(values + 4, z[1]);
    unsigned pass = 0;
    for (int k = 0; k < count; ++k) pass |= static_cast<unsigned>(values[k] <= LoadDepth32(depth + 4 * k)) << k;
    return pass;
  }

  void Store(std::uint8_t* depth, unsigned pass, int count) const {
    if (pass == 0xFF) {
      _mm_storeu_ps(reinterpret_cast<float*>(depth), z[0]);
      _mm_storeu_ps(reinterpret_cast<float*>(depth) + 4, z[1]);
      return;
    }
    if (count == kGroup) {
      // The whole group lies in the row: the passing depths merged into those stored.
      for (int h = 0; h < 2; ++h) {
        float* at = reinterpret_cast<float*>(depth) + 4 * h;
        const __m128 keep = _mm_castsi128_ps(LaneMask(pass >> (4 * h)));
        _mm_storeu_ps(at, _mm_or_ps(_mm_and_ps(keep, z[h]), _mm_andnot_ps(keep, _mm_loadu_ps(at))));
      }
      return;
    }
    alignas(16) float values[kGroup];
    _mm_store_ps(values, z[0]);
    _mm_store_ps(values + 4, z[1]);
    for (int k = 0; k < count; ++k) {
      if (pass & (1u << k)) StoreDepth32(depth + 4 * k, values[k]);
    }
  }
};

template <DepthFormat D>
using GroupDepth = std::conditional_t<D == DepthFormat::kFloat32, FloatGroupDepth, PixelwiseGroupDepth<D>>;

template <ColourFormat F, DepthFormat D>
struct PackedShader {
  using DepthOf = Depth<D>;

  static void Shade(const RasterContext& context, const Gradients& g, int y, int x0, int x1, const float* s) {
    const RenderTarget& target = context.target;
    const PixelState& state = context.pixels;
    std::uint8_t* row = target.colour + static_cast<std::ptrdiff_t>(y) * target.colourPitch + x0 * kBytesOf<F>;
    std::uint8_t* depthRow = DepthRow<D>(target, y, x0);
    const bool depthTest = state.depthTest && DepthOf::kBytes != 0;
    const bool depthWrite = state.depthWrite && DepthOf::kBytes != 0;
    // Pixels from the span's start to the row's end. A group that ends inside the row is read
    // and written whole, its pixels past the span written back as they were: no other thread
    // draws into a row that this one draws.
    const int room = target.width - x0;
    if (depthTest && !AnyPasses<GroupDepth<D>, D>(s, g, depthRow, x1 - x0, room)) return;
    ForEachGroup(SpanEvaluator(g, s, state), x1 - x0, [&](int first, int count, const Segment& segment) {
      std::uint8_t* colour = row + first * kBytesOf<F>;
      std::uint8_t* depth = depthRow + first * DepthOf::kBytes;
      const int whole = DepthsToRead(first, count, room);
      const GroupDepth<D> z(s, g, first);
      const unsigned pass = depthTest ? z.Passing(depth, whole) & FirstPixels(count) : FirstPixels(count);
      if (pass == 0) return;
      __m128i shaded[2];
      ShadeGroup(state, segment, count, shaded);
      if (state.blend) {
        __m128i dest[2];
        if (F == ColourFormat::kRgb32 && whole == kGroup) {
          for (int h = 0; h < 2; ++h) dest[h] = _mm_and_si128(LoadBlock(colour + 16 * h), _mm_set1_epi32(0xFFFFFF));
        } else {
          alignas(16) std::uint32_t pixels[kGroup] = {};
          for (int k = 0; k < count; ++k) pixels[k] = ReadPixel(F, colour + k * kBytesOf<F>);
          for (int h = 0; h < 2; ++h) dest[h] = _mm_load_si128(reinterpret_cast<const __m128i*>(pixels + 4 * h));
        }
        for (int h = 0; h < 2; ++h) shaded[h] = BlendFour(shaded[h], dest[h], state.sourceBlend, state.destBlend);
      }
      if (F == ColourFormat::kRgb32 && pass == 0xFF) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(colour), shaded[0]);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(colour + 16), shaded[1]);
      } else if (F == ColourFormat::kRgb32 && whole == kGroup) {
        for (int h = 0; h < 2; ++h) {
          const __m128i keep = LaneMask(pass >> (4 * h));
          const __m128i old = LoadBlock(colour + 16 * h);
          _mm_storeu_si128(reinterpret_cast<__m128i*>(colour + 16 * h),
                           _mm_or_si128(_mm_and_si128(keep, shaded[h]), _mm_andnot_si128(keep, old)));
        }
      } else {
        alignas(16) std::uint32_t pixels[kGroup];
        _mm_store_si128(reinterpret_cast<__m128i*>(pixels), shaded[0]);
        _mm_store_si128(reinterpret_cast<__m128i*>(pixels + 4), shaded[1]);
        for (int k = 0; k < count; ++k) {
          if (pass & (1u << k)) WritePixel(F, colour + k * kBytesOf<F>, pixels[k]);
        }
      }
      if (depthWrite) z.Store(depth, pass, whole);
    });
  }
};

}  // namespace

SpanShader PackedSpanShader(ColourFormat colour, DepthFormat depth) {
  return SelectSpanShader<PackedShader>(colour, depth);
}

#else

SpanShader PackedSpanShader(ColourFormat, DepthFormat) { return nullptr; }

#endif
