// The byte-wise pixel arithmetic of pixel_bytes.h on four pixels at once, with SSE2 (every
// x86-64 processor has it). Each operation gives exactly the bytes of its one-pixel reference.
// Where SSE2 is missing the scenes draw with their scalar paths only.
#pragma once

#if defined(__SSE2__)
#define KALETH_PACKED_PIXELS 1

#include <emmintrin.h>

#include <cstdint>

using Pixels4 = __m128i;

inline Pixels4 LoadPixels4(const void* from) { return _mm_loadu_si128(static_cast<const __m128i*>(from)); }
inline void StorePixels4(void* to, Pixels4 pixels) { _mm_storeu_si128(static_cast<__m128i*>(to), pixels); }

// The four pixels of `table` at the four 32-bit indices.
inline Pixels4 GatherPixels4(const std::uint32_t* table, Pixels4 indices) {
  alignas(16) std::uint32_t at[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(at), indices);
  return _mm_setr_epi32(static_cast<int>(table[at[0]]), static_cast<int>(table[at[1]]),
                        static_cast<int>(table[at[2]]), static_cast<int>(table[at[3]]));
}

// (a + b) >> 1 per byte: the rounding-up average, less the half that rounding added to odd sums.
inline Pixels4 AverageBytes4(Pixels4 a, Pixels4 b) {
  return _mm_sub_epi8(_mm_avg_epu8(a, b), _mm_and_si128(_mm_xor_si128(a, b), _mm_set1_epi8(1)));
}

inline Pixels4 AddBytesSaturating4(Pixels4 a, Pixels4 b) { return _mm_adds_epu8(a, b); }

// Lanes above `limit` become `limit` (signed 32-bit lanes).
inline Pixels4 ClampLanes4(Pixels4 lanes, std::int32_t limit) {
  const __m128i bound = _mm_set1_epi32(limit);
  const __m128i above = _mm_cmpgt_epi32(lanes, bound);
  return _mm_or_si128(_mm_and_si128(above, bound), _mm_andnot_si128(above, lanes));
}

// Takes each lane's shade (0..255) from the pixel's blue, green and red bytes, saturating at 0;
// the top byte becomes 0.
inline Pixels4 SubtractShade4(Pixels4 texels, Pixels4 shades) {
  const __m128i spread = _mm_or_si128(shades, _mm_or_si128(_mm_slli_epi32(shades, 8), _mm_slli_epi32(shades, 16)));
  return _mm_and_si128(_mm_subs_epu8(texels, spread), _mm_set1_epi32(0x00FFFFFF));
}

// (first * (255 - weight) + second * weight) >> 8 for blue, green and red; top byte 0. Both
// products fit 16 bits, and so does their sum, since the weights add up to 255.
inline Pixels4 CrossFadeBytes4(Pixels4 first, Pixels4 second, std::uint32_t weight) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i firstWeight = _mm_set1_epi16(static_cast<short>(255 - weight));
  const __m128i secondWeight = _mm_set1_epi16(static_cast<short>(weight));
  const auto mix = [&](__m128i a, __m128i b) {
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(a, firstWeight), _mm_mullo_epi16(b, secondWeight)), 8);
  };
  const __m128i low = mix(_mm_unpacklo_epi8(first, zero), _mm_unpacklo_epi8(second, zero));
  const __m128i high = mix(_mm_unpackhi_epi8(first, zero), _mm_unpackhi_epi8(second, zero));
  return _mm_and_si128(_mm_packus_epi16(low, high), _mm_set1_epi32(0x00FFFFFF));
}

#endif
