// Building blocks for the module's synthesised samples: noise, simple filters, band-limited
// waveforms summed from their harmonics, and conversion to 16-bit frames.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

inline constexpr double kSampleRate = 22050;
inline constexpr double kPi = 3.14159265358979323846;

using Signal = std::vector<double>;

// Reproducible white noise in [-1, 1].
class Noise {
 public:
  explicit Noise(std::uint32_t seed) : state_(seed ? seed : 1) {}
  double next();

 private:
  std::uint32_t state_;
};

// Two-pole resonant band-pass at `frequency` Hz with quality `q` (state-variable filter).
class BandPass {
 public:
  BandPass(double frequency, double q) { tune(frequency, q); }
  void tune(double frequency, double q);
  double step(double in);

 private:
  double f_ = 0, damping_ = 0, low_ = 0, band_ = 0;
};

// One-pole high-pass: keeps what changes faster than `frequency` Hz.
class HighPass {
 public:
  explicit HighPass(double frequency);
  double step(double in);

 private:
  double a_ = 0, lastIn_ = 0, lastOut_ = 0;
};

// Sum of harmonics 1..count of `frequency` at time t, harmonic k weighted by weight(k);
// harmonics at or above the Nyquist frequency are left out so nothing aliases.
template <typename Weight>
double Harmonics(double frequency, double t, int count, double phase, Weight weight) {
  double sum = 0;
  for (int k = 1; k <= count && k * frequency < kSampleRate / 2; ++k)
    sum += weight(k) * std::sin(2 * kPi * k * frequency * t + k * phase);
  return sum;
}

// Scales the signal so its largest magnitude is `peak` (of full scale) and converts it.
std::vector<std::int16_t> ToFrames(const Signal& signal, double peak);
// A signal of `seconds` length, as frames at the sample rate.
inline Signal Silence(double seconds) { return Signal(static_cast<std::size_t>(seconds * kSampleRate), 0.0); }
