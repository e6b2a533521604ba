#include "apps/pakgen/palette.h"

#include <algorithm>
#include <cmath>

Color Gradient::Sample(float t) const {
  t = std::clamp(t, 0.f, 1.f) * static_cast<float>(stops_.size() - 1);
  const std::size_t i = std::min(static_cast<std::size_t>(t), stops_.size() - 2);
  return Mix(stops_[i], stops_[i + 1], t - static_cast<float>(i));
}

namespace theme {

const Gradient& Cold() {
  static const Gradient ramp{kNight, kIndigo, kTeal, kIce, kWhite};
  return ramp;
}

const Gradient& Warm() {
  static const Gradient ramp{kNight, Color{0.25f, 0.05f, 0.12f}, kEmber, kAmber, kGold};
  return ramp;
}

const Gradient& Dusk() {
  static const Gradient ramp{kNight, kIndigo, kViolet, kTeal, kIce};
  return ramp;
}

}  // namespace theme
