#include "apps/pakgen/synth.h"

#include <algorithm>
#include <cmath>

double Noise::next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return static_cast<double>(state_) / 2147483648.0 - 1.0;
}

void BandPass::tune(double frequency, double q) {
  f_ = 2 * std::sin(kPi * std::min(frequency, kSampleRate / 6) / kSampleRate);
  damping_ = 1 / q;
}

double BandPass::step(double in) {
  low_ += f_ * band_;
  const double high = in - low_ - damping_ * band_;
  band_ += f_ * high;
  return band_;
}

HighPass::HighPass(double frequency) {
  const double rc = 1 / (2 * kPi * frequency);
  a_ = rc / (rc + 1 / kSampleRate);
}

double HighPass::step(double in) {
  lastOut_ = a_ * (lastOut_ + in - lastIn_);
  lastIn_ = in;
  return lastOut_;
}

std::vector<std::int16_t> ToFrames(const Signal& signal, double peak) {
  double largest = 0;
  for (double v : signal) largest = std::max(largest, std::fabs(v));
  const double scale = largest > 0 ? peak * 32767 / largest : 0;
  std::vector<std::int16_t> frames(signal.size());
  for (std::size_t i = 0; i < signal.size(); ++i)
    frames[i] = static_cast<std::int16_t>(std::lround(std::clamp(signal[i] * scale, -32767.0, 32767.0)));
  return frames;
}
