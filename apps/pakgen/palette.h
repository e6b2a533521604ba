// The production's one palette: a night of deep indigo, cold teal light, pale ice, and amber
// warmth for accents. Every picture takes its colours from here so the scenes read as one piece.
#pragma once

#include <initializer_list>
#include <vector>

#include "tools/common/picture.h"

namespace theme {

inline constexpr Color kNight{0.015f, 0.02f, 0.06f};
inline constexpr Color kIndigo{0.11f, 0.09f, 0.30f};
inline constexpr Color kViolet{0.36f, 0.17f, 0.47f};
inline constexpr Color kTeal{0.05f, 0.50f, 0.58f};
inline constexpr Color kIce{0.72f, 0.94f, 1.0f};
inline constexpr Color kAmber{1.0f, 0.66f, 0.22f};
inline constexpr Color kEmber{0.78f, 0.22f, 0.20f};
inline constexpr Color kGold{1.0f, 0.88f, 0.55f};
inline constexpr Color kWhite{1.0f, 1.0f, 1.0f};

}  // namespace theme

// A colour ramp through evenly spaced stops; Sample(0) is the first stop, Sample(1) the last.
class Gradient {
 public:
  Gradient(std::initializer_list<Color> stops) : stops_(stops) {}
  Color Sample(float t) const;

 private:
  std::vector<Color> stops_;
};

namespace theme {

// Night into teal light and ice: the cold side.
const Gradient& Cold();
// Night through ember into amber and gold: the warm side.
const Gradient& Warm();
// The whole palette in one ramp: night, indigo, violet, teal, ice.
const Gradient& Dusk();

}  // namespace theme
