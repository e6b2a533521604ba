// The wide span shader: the packed shader's arithmetic on 256-bit registers. A group's eight
// depths sit in one register and its colours in two, four pixels each (pixels 0, 1, 4, 5 and
// 2, 3, 6, 7, the order in which 256-bit unpacking and packing leave them). Texel blocks are
// loaded sixteen bytes at a time, which is faster here than gather instructions; partial groups of a
// 32-bit target or depth surface are read and written through masks. It gives the reference
// shader's bytes.
//
// The shader is built once for each instruction set it runs on: a source file defines WIDE as the
// target attribute of that set and WIDE_MASK_REGISTERS as 1 where the set has AVX-512's mask
// registers, includes this file, and hands out `WideShader`'s instances. The code sits in an
// unnamed namespace, so each source file has its own copy; each function carries the instruction
// set itself, since the rest of the program is built for every x86 processor.
#pragma once

#if !defined(WIDE) || !defined(WIDE_MASK_REGISTERS)
#error "WIDE and WIDE_MASK_REGISTERS name the instruction set the wide shader is built for"
#endif

#include <immintrin.h>

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "platform/direct3d/pipeline/lanes.h"
#include "platform/direct3d/pipeline/span_common.h"
#include "platform/direct3d/pipeline/span_shading.h"
#include "platform/pixels/pixel_format.h"

namespace {

// x / 255 rounded to nearest in every 16-bit lane, for x <= 255 * 255 (DivideBy255): with
// a = x + 128, (a + (a >> 8)) >> 8 is the top half of a * 257.
WIDE inline __m256i DivideBy255(__m256i x) {
  return _mm256_mulhi_epu16(_mm256_add_epi16(x, _mm256_set1_epi16(128)), _mm256_set1_epi16(257));
}

WIDE inline __m256i Multiply255(__m256i a, __m256i b) { return DivideBy255(_mm256_mullo_epi16(a, b)); }

// (a (256 - w) + b w) >> 8 with the weight given as w * 128, as the packed shader mixes.
WIDE inline __m256i Mix(__m256i a, __m256i b, __m256i weight128) {
  const __m256i difference = _mm256_sub_epi16(b, a);
  return _mm256_add_epi16(a, _mm256_mulhi_epi16(_mm256_add_epi16(difference, difference), weight128));
}

// start + k step in lane k, wrapping like the packed shader's ramps.
WIDE inline __m256i Ramp(std::uint32_t start, std::uint32_t step) {
  return _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(start)),
                          _mm256_mullo_epi32(_mm256_set1_epi32(static_cast<int>(step)), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7)));
}

// All ones in the lanes whose bit is set in `bits`.
WIDE inline __m256i LaneMask(unsigned bits) {
  const __m256i lane = _mm256_setr_epi32(1, 2, 4, 8, 16, 32, 64, 128);
  return _mm256_cmpeq_epi32(_mm256_and_si256(_mm256_set1_epi32(static_cast<int>(bits)), lane), lane);
}

inline unsigned FirstLanes(int count) { return (1u << count) - 1; }

// The 32-bit lanes whose bit is set in `lanes`, read (the others zero) or written; memory under
// the other lanes is not touched. AVX2's masked moves take a mask register of whole lanes and
// are slow to write; AVX-512's mask registers do the same at the cost of a plain move.
#if WIDE_MASK_REGISTERS
WIDE inline __m256i LoadLanes(const void* at, unsigned lanes) {
  return _mm256_maskz_loadu_epi32(static_cast<__mmask8>(lanes), at);
}
WIDE inline void StoreLanes(void* at, unsigned lanes, __m256i v) {
  _mm256_mask_storeu_epi32(at, static_cast<__mmask8>(lanes), v);
}
#else
WIDE inline __m256i LoadLanes(const void* at, unsigned lanes) {
  return _mm256_maskload_epi32(static_cast<const int*>(at), LaneMask(lanes));
}
WIDE inline void StoreLanes(void* at, unsigned lanes, __m256i v) {
  _mm256_maskstore_epi32(static_cast<int*>(at), LaneMask(lanes), v);
}
#endif

// The low 16 bits of each 32-bit lane, sign-extended, so that packing keeps them as they are.
WIDE inline __m128i LowHalves(__m128i v) { return _mm_srai_epi32(_mm_slli_epi32(v, 16), 16); }

// A group's channels from 32-bit 8.8 values and their steps, in 16-bit lanes that wrap as the
// packed shader's do: pixels 0, 1, 4, 5 returned, pixels 2, 3, 6, 7 in `high`.
WIDE inline __m256i ChannelPairs(Int4 start, Int4 step, __m256i* high) {
  const __m128i first = reinterpret_cast<__m128i>(start), perPixel = reinterpret_cast<__m128i>(step);
  const __m128i pair = _mm_packs_epi32(LowHalves(first), LowHalves(_mm_add_epi32(first, perPixel)));
  const __m128i twice = LowHalves(_mm_slli_epi32(perPixel, 1));
  const __m128i pairStep = _mm_packs_epi32(twice, twice);
  const __m256i low = _mm256_set_m128i(_mm_add_epi16(pair, _mm_add_epi16(pairStep, pairStep)), pair);
  *high = _mm256_add_epi16(low, _mm256_set_m128i(pairStep, pairStep));
  return low;
}

inline int Load32(const std::uint8_t* at) {
  int v;
  std::memcpy(&v, at, 4);
  return v;
}

// The texel blocks at two places, in the two 128-bit lanes.
WIDE inline __m256i LoadBlocks(const std::uint8_t* low, const std::uint8_t* high) {
  return _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(high), reinterpret_cast<const __m128i*>(low));
}

// The values of a group's pixels in registers: texel coordinates (half a texel back for bilinear
// filtering) and colour and highlight channels as ChannelPairs lays them out. The second group
// of a segment takes them from the first, eight steps on.
struct GroupRamps {
  __m256i u, v;
  __m256i colour[2], highlight[2];
  bool linear;

  WIDE explicit GroupRamps(const Segment& segment) : linear(segment.start.linear) {
    const PixelValues& a = segment.start;
    // Bilinear filtering reads the four centres round the point, half a texel back.
    const std::uint32_t back = linear ? 32768u : 0u;
    u = Ramp(static_cast<std::uint32_t>(a.texel[0]) - back, static_cast<std::uint32_t>(segment.dTexel[0]));
    v = Ramp(static_cast<std::uint32_t>(a.texel[1]) - back, static_cast<std::uint32_t>(segment.dTexel[1]));
    colour[0] = ChannelPairs(a.colour, segment.dColour, &colour[1]);
    highlight[0] = ChannelPairs(a.specular, segment.dSpecular, &highlight[1]);
  }

  // Eight pixels on: every lane wraps as the ramps of the later group's own start would.
  WIDE void Advance(const Segment& segment) {
    u = _mm256_add_epi32(u, _mm256_set1_epi32(static_cast<int>(static_cast<std::uint32_t>(segment.dTexel[0]) << 3)));
    v = _mm256_add_epi32(v, _mm256_set1_epi32(static_cast<int>(static_cast<std::uint32_t>(segment.dTexel[1]) << 3)));
    const __m256i colourSteps = EightSteps(segment.dColour), highlightSteps = EightSteps(segment.dSpecular);
    for (int h = 0; h < 2; ++h) {
      colour[h] = _mm256_add_epi16(colour[h], colourSteps);
      highlight[h] = _mm256_add_epi16(highlight[h], highlightSteps);
    }
  }

 private:
  // Eight steps of each channel in every pixel's 16-bit lanes.
  WIDE static __m256i EightSteps(Int4 step) {
    const __m128i eight = LowHalves(_mm_slli_epi32(reinterpret_cast<__m128i>(step), 3));
    return _mm256_broadcastsi128_si256(_mm_packs_epi32(eight, eight));
  }
};

// The group's texels, filtered, in the two colour registers' pixel order.
WIDE inline void SampleGroup(const PaddedTexture& t, const GroupRamps& ramps, __m256i texels[2]) {
  const __m256i u = ramps.u, v = ramps.v;
  const __m256i x = _mm256_and_si256(_mm256_srai_epi32(u, 16), _mm256_set1_epi32(t.widthMask));
  const __m256i y = _mm256_and_si256(_mm256_srai_epi32(v, 16), _mm256_set1_epi32(t.heightMask));
  const __m256i offsets =
      _mm256_slli_epi32(_mm256_or_si256(_mm256_sll_epi32(y, _mm_cvtsi32_si128(t.widthShift)), x), 4);
  const std::uint8_t* base = t.texels.data();
  const __m256i zero = _mm256_setzero_si256();
  alignas(32) int at[kGroup];
  _mm256_store_si256(reinterpret_cast<__m256i*>(at), offsets);
  if (!ramps.linear) {
    const __m256i nearest = _mm256_setr_epi32(Load32(base + at[0]), Load32(base + at[1]), Load32(base + at[2]),
                                              Load32(base + at[3]), Load32(base + at[4]), Load32(base + at[5]),
                                              Load32(base + at[6]), Load32(base + at[7]));
    texels[0] = _mm256_unpacklo_epi8(nearest, zero);
    texels[1] = _mm256_unpackhi_epi8(nearest, zero);
    return;
  }
  // The fraction's top eight bits, times 128, in the low half of each pixel's lane.
  const __m256i mask = _mm256_set1_epi32(0x7F80);
  const __m256i wx = _mm256_and_si256(_mm256_srli_epi32(u, 1), mask);
  const __m256i wy = _mm256_and_si256(_mm256_srli_epi32(v, 1), mask);
  // Each register's pixels' weights spread over their four channels.
  const __m256i spread[2] = {_mm256_setr_epi8(0, 1, 0, 1, 0, 1, 0, 1, 4, 5, 4, 5, 4, 5, 4, 5, 0, 1, 0, 1, 0, 1, 0, 1, 4,
                                              5, 4, 5, 4, 5, 4, 5),
                             _mm256_setr_epi8(8, 9, 8, 9, 8, 9, 8, 9, 12, 13, 12, 13, 12, 13, 12, 13, 8, 9, 8, 9, 8, 9,
                                              8, 9, 12, 13, 12, 13, 12, 13, 12, 13)};
  for (int h = 0; h < 2; ++h) {
    // Pixels 2h, 2h + 1 in the low lane and 2h + 4, 2h + 5 in the high one: the blocks of the
    // lane's two pixels, rearranged to [left, left, right, right] of each row.
    const int k = 2 * h;
    const __m256i first = LoadBlocks(base + at[k], base + at[k + 4]);
    const __m256i second = LoadBlocks(base + at[k + 1], base + at[k + 5]);
    const __m256i upper = _mm256_unpacklo_epi32(first, second), lower = _mm256_unpackhi_epi32(first, second);
    const __m256i weightX = _mm256_shuffle_epi8(wx, spread[h]);
    const __m256i top = Mix(_mm256_unpacklo_epi8(upper, zero), _mm256_unpackhi_epi8(upper, zero), weightX);
    const __m256i bottom = Mix(_mm256_unpacklo_epi8(lower, zero), _mm256_unpackhi_epi8(lower, zero), weightX);
    texels[h] = Mix(top, bottom, _mm256_shuffle_epi8(wy, spread[h]));
  }
}

// The eight pixels of a group, textured and lit, as 0x00RRGGBB in pixel order.
WIDE inline __m256i ShadeGroup(const PixelState& state, const GroupRamps& ramps) {
  __m256i texels[2] = {}, rgb[2];
  if (state.textured) SampleGroup(*state.padded, ramps, texels);
  for (int h = 0; h < 2; ++h) {
    rgb[h] = _mm256_srli_epi16(ramps.colour[h], 8);
    if (state.textured) rgb[h] = Multiply255(texels[h], rgb[h]);
  }
  const __m256i shaded = _mm256_packus_epi16(rgb[0], rgb[1]);
  if (!state.specular) return shaded;
  // Every channel is a byte by now, so the highlight is added with the bytes' own saturation.
  return _mm256_adds_epu8(shaded, _mm256_packus_epi16(_mm256_srli_epi16(ramps.highlight[0], 8),
                                                      _mm256_srli_epi16(ramps.highlight[1], 8)));
}

WIDE inline __m256i Weigh(__m256i colour, D3DBLEND factor, __m256i source, __m256i dest) {
  switch (factor) {
    case D3DBLEND_ZERO: return _mm256_setzero_si256();
    case D3DBLEND_SRCCOLOR: return Multiply255(colour, source);
    case D3DBLEND_DESTCOLOR: return Multiply255(colour, dest);
    default: return colour;
  }
}

// source * sourceFactor + dest * destFactor for eight pixels, clamped per channel.
WIDE inline __m256i Blend(__m256i source, __m256i dest, D3DBLEND sourceFactor, D3DBLEND destFactor) {
  const __m256i zero = _mm256_setzero_si256();
  __m256i halves[2];
  for (int h = 0; h < 2; ++h) {
    const __m256i s = h ? _mm256_unpackhi_epi8(source, zero) : _mm256_unpacklo_epi8(source, zero);
    const __m256i d = h ? _mm256_unpackhi_epi8(dest, zero) : _mm256_unpacklo_epi8(dest, zero);
    halves[h] = _mm256_add_epi16(Weigh(s, sourceFactor, s, d), Weigh(d, destFactor, s, d));
  }
  return _mm256_packus_epi16(halves[0], halves[1]);
}

// Float depths eight at a time: computed, pinned, compared and stored as one register.
struct WideFloatDepth {
  __m256 z;

  WIDE WideFloatDepth(const float* s, const Gradients& g, int first) {
    // Lane by lane the reference's s + dx * i, pinned to [0, 1] (a NaN to 0).
    const __m256 index = _mm256_add_ps(_mm256_set1_ps(static_cast<float>(first)), _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7));
    const __m256 depth = _mm256_add_ps(_mm256_set1_ps(s[kAttrZ]), _mm256_mul_ps(_mm256_set1_ps(g.dx[kAttrZ]), index));
    z = _mm256_min_ps(_mm256_max_ps(depth, _mm256_setzero_ps()), _mm256_set1_ps(1.0f));
  }

  WIDE unsigned Passing(const std::uint8_t* depth, int count) const {
    const auto* stored = reinterpret_cast<const float*>(depth);
    const __m256 old =
        count == kGroup ? _mm256_loadu_ps(stored) : _mm256_castsi256_ps(LoadLanes(stored, FirstLanes(count)));
    return static_cast<unsigned>(_mm256_movemask_ps(_mm256_cmp_ps(z, old, _CMP_LE_OQ))) & FirstLanes(count);
  }

  WIDE void Store(std::uint8_t* depth, unsigned pass, int) const {
    auto* stored = reinterpret_cast<float*>(depth);
    if (pass == 0xFF) _mm256_storeu_ps(stored, z);
    else StoreLanes(stored, pass, _mm256_castps_si256(z));
  }
};

template <DepthFormat D>
using WideGroupDepth = std::conditional_t<D == DepthFormat::kFloat32, WideFloatDepth, PixelwiseGroupDepth<D>>;

// The target's first `count` pixels at `at`, as 0x00RRGGBB in pixel order.
template <ColourFormat F>
WIDE inline __m256i ReadGroup(const std::uint8_t* at, int count) {
  if constexpr (F == ColourFormat::kRgb32) {
    const auto* pixels = reinterpret_cast<const int*>(at);
    const __m256i read = count == kGroup ? _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at))
                                         : LoadLanes(pixels, FirstLanes(count));
    return _mm256_and_si256(read, _mm256_set1_epi32(0xFFFFFF));
  } else {
    alignas(32) std::uint32_t pixels[kGroup] = {};
    for (int k = 0; k < count; ++k) pixels[k] = ReadPixel(F, at + k * kBytesOf<F>);
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(pixels));
  }
}

// Writes the pixels whose bit is set in `pass`. Groups of the narrower formats are converted and
// written in the register, whole ones always and partial ones under mask registers; the others
// pixel by pixel.
template <ColourFormat F>
WIDE inline void WriteGroup(std::uint8_t* at, __m256i shaded, unsigned pass, int count) {
  if constexpr (F == ColourFormat::kRgb32) {
    if (pass == 0xFF) _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), shaded);
    else StoreLanes(at, pass, shaded);
  } else if (F == ColourFormat::kRgb565 && (pass == 0xFF || WIDE_MASK_REGISTERS)) {
    // Each channel's top bits, as PackRgb565 keeps them; the sixteen-bit values fit the signed
    // packing, which leaves pixels 0-3 in the low lane's first half and 4-7 in the high one's.
    const __m256i v = _mm256_or_si256(
        _mm256_or_si256(_mm256_and_si256(_mm256_srli_epi32(shaded, kRed565Shift), _mm256_set1_epi32(kRed565Mask)),
                        _mm256_and_si256(_mm256_srli_epi32(shaded, kGreen565Shift), _mm256_set1_epi32(kGreen565Mask))),
        _mm256_and_si256(_mm256_srli_epi32(shaded, kBlue565Shift), _mm256_set1_epi32(kBlue565Mask)));
    const __m128i packed = _mm256_castsi256_si128(_mm256_permute4x64_epi64(_mm256_packus_epi32(v, v), _MM_SHUFFLE(3, 1, 2, 0)));
#if WIDE_MASK_REGISTERS
    _mm_mask_storeu_epi16(at, static_cast<__mmask8>(pass), packed);
#else
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at), packed);
#endif
  } else if (F == ColourFormat::kRgb24 && (pass == 0xFF || WIDE_MASK_REGISTERS)) {
    // Each lane's four pixels as twelve bytes.
    const __m256i bytes = _mm256_shuffle_epi8(
        shaded, _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0, 1, 2, 4, 5, 6, 8, 9, 10, 12,
                                 13, 14, -1, -1, -1, -1));
#if WIDE_MASK_REGISTERS
    // The two lanes' bytes side by side, written under a mask of three bits per passing pixel.
    const __m256i packed = _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 0, 0));
    _mm256_mask_storeu_epi8(at, _pdep_u32(pass, 0x249249) * 7, packed);
#else
    // Written as eight and four bytes a lane, so nothing past the group is touched.
    const __m128i halves[2] = {_mm256_castsi256_si128(bytes), _mm256_extracti128_si256(bytes, 1)};
    for (int h = 0; h < 2; ++h) {
      _mm_storel_epi64(reinterpret_cast<__m128i*>(at + 12 * h), halves[h]);
      const int last = _mm_extract_epi32(halves[h], 2);
      std::memcpy(at + 12 * h + 8, &last, 4);
    }
#endif
  } else {
    alignas(32) std::uint32_t pixels[kGroup];
    _mm256_store_si256(reinterpret_cast<__m256i*>(pixels), shaded);
    for (int k = 0; k < count; ++k) {
      if (pass & (1u << k)) WritePixel(F, at + k * kBytesOf<F>, pixels[k]);
    }
  }
}

template <ColourFormat F, DepthFormat D>
struct WideShader {
  using DepthOf = Depth<D>;

  // The groups of one segment of a span: depth-tested, shaded, blended and written.
  struct Group {
    const PixelState& state;
    const Gradients& g;
    const float* s;
    std::uint8_t* row;
    std::uint8_t* depthRow;
    bool depthTest, depthWrite;

    WIDE void operator()(int first, int count, const Segment& segment) const {
      GroupRamps ramps(segment);
      for (int k = 0;;) {
        Draw(first + k, count - k < kGroup ? count - k : kGroup, ramps);
        k += kGroup;
        if (k >= count) break;
        ramps.Advance(segment);
      }
    }

    WIDE void Draw(int first, int count, const GroupRamps& ramps) const {
      std::uint8_t* colour = row + first * kBytesOf<F>;
      std::uint8_t* depth = depthRow + first * DepthOf::kBytes;
      const WideGroupDepth<D> z(s, g, first);
      const unsigned pass = depthTest ? z.Passing(depth, count) : FirstLanes(count);
      if (pass == 0) return;
      __m256i shaded = ShadeGroup(state, ramps);
      if (state.blend) shaded = Blend(shaded, ReadGroup<F>(colour, count), state.sourceBlend, state.destBlend);
      WriteGroup<F>(colour, shaded, pass, count);
      if (depthWrite) z.Store(depth, pass, count);
    }
  };

  // Flattened, so that the segment loop and the groups compile as one piece of AVX2 code.
  WIDE __attribute__((flatten)) static void Shade(const RasterContext& context, const Gradients& g, int y, int x0,
                                                  int x1, const float* s) {
    const RenderTarget& target = context.target;
    const PixelState& state = context.pixels;
    const Group group{state,
                      g,
                      s,
                      target.colour + static_cast<std::ptrdiff_t>(y) * target.colourPitch + x0 * kBytesOf<F>,
                      DepthRow<D>(target, y, x0),
                      state.depthTest && DepthOf::kBytes != 0,
                      state.depthWrite && DepthOf::kBytes != 0};
    if (group.depthTest && !AnyPasses<WideGroupDepth<D>, D>(s, g, group.depthRow, x1 - x0, target.width - x0)) return;
    ForEachSegment(SpanEvaluator(g, s, state), x1 - x0, group);
  }
};

}  // namespace
