#include "apps/pakgen/noise.h"

#include <cmath>

namespace {

float Smooth(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }

int Wrap(int v, int period) {
  const int m = v % period;
  return m < 0 ? m + period : m;
}

}  // namespace

std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8da6b343u ^ static_cast<std::uint32_t>(y) * 0xd8163841u ^
                    seed * 0xcb1ab31fu;
  h ^= h >> 16;
  h *= 0x7feb352du;
  h ^= h >> 15;
  h *= 0x846ca68bu;
  h ^= h >> 16;
  return h;
}

float HashUnit(std::int32_t x, std::int32_t y, std::uint32_t seed) {
  return static_cast<float>(Hash(x, y, seed) >> 8) * (1.0f / 16777216.0f);
}

float TileNoise(float x, float y, int period, std::uint32_t seed) {
  const float fx = std::floor(x), fy = std::floor(y);
  const int x0 = Wrap(static_cast<int>(fx), period), y0 = Wrap(static_cast<int>(fy), period);
  const int x1 = Wrap(x0 + 1, period), y1 = Wrap(y0 + 1, period);
  const float tx = Smooth(x - fx), ty = Smooth(y - fy);
  const float a = HashUnit(x0, y0, seed), b = HashUnit(x1, y0, seed);
  const float c = HashUnit(x0, y1, seed), d = HashUnit(x1, y1, seed);
  const float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
  return top + (bottom - top) * ty;
}

float TileFbm(float x, float y, int basePeriod, int octaves, float gain, std::uint32_t seed) {
  float sum = 0, weight = 1, total = 0;
  int period = basePeriod;
  for (int i = 0; i < octaves; ++i) {
    sum += TileNoise(x * period, y * period, period, seed + 101u * i) * weight;
    total += weight;
    weight *= gain;
    period *= 2;
  }
  return sum / total;
}

void TileCells(float x, float y, int cells, std::uint32_t seed, float* nearest, float* second, std::uint32_t* id) {
  const float px = x * cells, py = y * cells;
  const int cx = static_cast<int>(std::floor(px)), cy = static_cast<int>(std::floor(py));
  float best = 1e9f, next = 1e9f;
  std::uint32_t bestId = 0;
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      const int gx = cx + dx, gy = cy + dy;
      const int wx = Wrap(gx, cells), wy = Wrap(gy, cells);
      const float fx = gx + 0.15f + 0.7f * HashUnit(wx, wy, seed);
      const float fy = gy + 0.15f + 0.7f * HashUnit(wx, wy, seed ^ 0x5bd1e995u);
      const float d = std::hypot(px - fx, py - fy);
      if (d < best) {
        next = best;
        best = d;
        bestId = Hash(wx, wy, seed + 7);
      } else if (d < next) {
        next = d;
      }
    }
  }
  *nearest = best;
  *second = next;
  if (id) *id = bestId;
}

std::uint32_t Scatter::next() {
  // xorshift32: tiny, fast, and the same numbers on every machine.
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return state_;
}
