// Deterministic noise that tiles: every field here repeats after `period` lattice cells, so a
// texture painted from it wraps without a seam.
#pragma once

#include <cstdint>

// A well-mixed 32-bit hash of lattice coordinates and a seed.
std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed);
// Uniform in [0, 1) from the hash.
float HashUnit(std::int32_t x, std::int32_t y, std::uint32_t seed);

// Smooth value noise in [0, 1] on a lattice of `period` × `period` cells (x and y in cells).
float TileNoise(float x, float y, int period, std::uint32_t seed);
// Sum of `octaves` noise layers, each twice the frequency and `gain` times the weight of the
// last; normalised to [0, 1]. x and y run over [0, 1) for one tile.
float TileFbm(float x, float y, int basePeriod, int octaves, float gain, std::uint32_t seed);

// Cellular noise: distances from (x, y) (in [0, 1) for one tile) to the nearest and second nearest
// of one jittered point per cell of a `cells` × `cells` grid, in cell units. `id` receives the
// nearest cell's hash, so cells can be coloured apart.
void TileCells(float x, float y, int cells, std::uint32_t seed, float* nearest, float* second, std::uint32_t* id);

// Deterministic sequence of numbers for scattering things (stars, sparks).
class Scatter {
 public:
  explicit Scatter(std::uint32_t seed) : state_(seed ? seed : 1) {}
  std::uint32_t next();
  float unit() { return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f); }

 private:
  std::uint32_t state_;
};
