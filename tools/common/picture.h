// Pictures as the generators paint them: floating-point colour, converted to bytes only when a
// member is written, so that layered painting never loses precision on the way.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

struct Color {
  float r = 0, g = 0, b = 0;
};

inline Color operator+(Color a, Color b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Color operator-(Color a, Color b) { return {a.r - b.r, a.g - b.g, a.b - b.b}; }
inline Color operator*(Color a, float k) { return {a.r * k, a.g * k, a.b * k}; }
inline Color operator*(Color a, Color b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
inline Color Mix(Color a, Color b, float t) { return a + (b - a) * t; }
inline Color Grey(float level) { return {level, level, level}; }
// Light added the way a glow adds: never past white.
inline Color Screen(Color a, Color b) {
  return {1 - (1 - a.r) * (1 - b.r), 1 - (1 - a.g) * (1 - b.g), 1 - (1 - a.b) * (1 - b.b)};
}
inline float Luma(Color c) { return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b; }

// Colour pictures, rows top to bottom.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<Color> pixels;

  Picture() = default;
  Picture(int w, int h, Color fill = {}) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
  Color& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
  const Color& at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// One channel of coverage or grey level, 0 to 1.
struct Mask {
  int width = 0;
  int height = 0;
  std::vector<float> values;

  Mask() = default;
  Mask(int w, int h, float fill = 0) : width(w), height(h), values(static_cast<std::size_t>(w) * h, fill) {}
  float& at(int x, int y) { return values[static_cast<std::size_t>(y) * width + x]; }
  float at(int x, int y) const { return values[static_cast<std::size_t>(y) * width + x]; }
  // Outside the mask reads as empty, so blurs and outlines need no border cases.
  float get(int x, int y) const { return x < 0 || y < 0 || x >= width || y >= height ? 0.f : at(x, y); }
};

inline std::uint8_t ToByte(float v) {
  return static_cast<std::uint8_t>(std::clamp(v, 0.f, 1.f) * 255.f + 0.5f);
}
