#include <algorithm>
#include <cmath>

#include "apps/pakgen/mesh.h"

namespace {

using Vec = std::array<double, 3>;

constexpr int kAlong = 180;   // segments along the knot
constexpr int kAround = 20;   // segments round the tube
constexpr double kScale = 27;  // the knot's centre line reaches 3 × kScale from the middle
constexpr double kTube = 10;   // mean tube radius
constexpr double kLobes = 5, kLobeDepth = 0.22, kTwists = 4;
constexpr double kPi = 3.14159265358979323846;

Vec Sub(Vec a, Vec b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec Cross(Vec a, Vec b) { return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]}; }
Vec Unit(Vec a) {
  const double l = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
  return {a[0] / l, a[1] / l, a[2] / l};
}

// The (2, 3) torus knot's centre line at parameter t (one turn is 2π).
Vec CentreLine(double t) {
  const double r = std::cos(3 * t) + 2;
  return {kScale * r * std::cos(2 * t), kScale * r * std::sin(2 * t), -kScale * std::sin(3 * t)};
}

}  // namespace

Mesh MakeKnot() {
  Mesh mesh;
  // Seam rows and columns are doubled so the mapping runs 0 to 1 without wrapping backwards.
  for (int i = 0; i <= kAlong; ++i) {
    const double s = static_cast<double>(i % kAlong) / kAlong, t = 2 * kPi * s;
    const Vec centre = CentreLine(t);
    const Vec tangent = Unit(Sub(CentreLine(t + 1e-4), CentreLine(t - 1e-4)));
    // The tangent never points along z, so z gives a steady frame without a twist of its own.
    const Vec side = Unit(Cross(tangent, {0, 0, 1}));
    const Vec up = Cross(side, tangent);
    for (int j = 0; j <= kAround; ++j) {
      const double theta = 2 * kPi * (j % kAround) / kAround;
      const double radius = kTube * (1 + kLobeDepth * std::cos(kLobes * theta + 2 * kPi * kTwists * s));
      const double c = std::cos(theta) * radius, sn = std::sin(theta) * radius;
      mesh.positions.push_back({static_cast<float>(centre[0] + c * side[0] + sn * up[0]),
                                static_cast<float>(centre[1] + c * side[1] + sn * up[1]),
                                static_cast<float>(centre[2] + c * side[2] + sn * up[2])});
      mesh.mapping.push_back({static_cast<float>(i) / kAlong, static_cast<float>(j) / kAround});
    }
  }
  // The knot's lobes are not symmetric about its axis; centring its bounds keeps the tumble
  // about its middle.
  for (int axis = 0; axis < 3; ++axis) {
    float low = mesh.positions[0][axis], high = low;
    for (const auto& p : mesh.positions) {
      low = std::min(low, p[axis]);
      high = std::max(high, p[axis]);
    }
    const float middle = (low + high) / 2;
    for (auto& p : mesh.positions) p[axis] -= middle;
  }
  auto index = [](int i, int j) { return static_cast<std::uint16_t>(i * (kAround + 1) + j); };
  for (int i = 0; i < kAlong; ++i) {
    for (int j = 0; j < kAround; ++j) {
      const std::uint16_t a = index(i, j), b = index(i + 1, j), c = index(i + 1, j + 1), d = index(i, j + 1);
      mesh.faces.push_back({a, b, c});
      mesh.faces.push_back({a, c, d});
    }
  }
  return mesh;
}
