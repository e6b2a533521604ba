// Byte-wise arithmetic on 0x00RRGGBB pixels, one pixel at a time. These are the reference the
// packed paths of the scenes are held to, and the scalar paths use them directly.
#pragma once

#include <cstdint>

// Which way a scene draws its frame; both give the same bytes.
enum class PixelPath { kScalar, kPacked };

// The path the render operations draw with: packed, unless a measurement asks for the other.
extern PixelPath RenderPixelPath;

// (a + b) >> 1 in each of the four bytes.
inline std::uint32_t AverageBytes(std::uint32_t a, std::uint32_t b) {
  // The shared bits plus half the differing ones: no carry can cross into the next byte.
  return (a & b) + (((a ^ b) >> 1) & 0x7F7F7F7Fu);
}

// Byte `shift / 8` of a pixel.
inline std::uint32_t ByteAt(std::uint32_t pixel, int shift) { return (pixel >> shift) & 0xFFu; }

// a + b in each of the four bytes, saturating at 255.
inline std::uint32_t AddBytesSaturating(std::uint32_t a, std::uint32_t b) {
  const auto add = [&](int shift) {
    const std::uint32_t sum = ByteAt(a, shift) + ByteAt(b, shift);
    return (sum > 0xFFu ? 0xFFu : sum) << shift;
  };
  return add(0) | add(8) | add(16) | add(24);
}

// shade (0..255) taken from the blue, green and red bytes, saturating at 0; the top byte is 0.
inline std::uint32_t SubtractShade(std::uint32_t texel, std::uint32_t shade) {
  const auto subtract = [&](int shift) {
    const std::uint32_t byte = ByteAt(texel, shift);
    return (byte > shade ? byte - shade : 0u) << shift;
  };
  return subtract(0) | subtract(8) | subtract(16);
}

// (first byte * (255 - weight) + second byte * weight) >> 8 for blue, green and red; top byte 0.
inline std::uint32_t CrossFadeBytes(std::uint32_t first, std::uint32_t second, std::uint32_t weight) {
  const auto mix = [&](int shift) {
    return ((ByteAt(first, shift) * (255u - weight) + ByteAt(second, shift) * weight) >> 8) << shift;
  };
  return mix(0) | mix(8) | mix(16);
}
