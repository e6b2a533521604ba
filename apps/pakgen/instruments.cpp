#include "apps/pakgen/instruments.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "apps/pakgen/synth.h"

namespace {

// Ends a one-shot sample with a short ramp so it never stops with a click.
void FadeTail(Signal& s, double seconds) {
  const std::size_t n = std::min(s.size(), static_cast<std::size_t>(seconds * kSampleRate));
  for (std::size_t i = 0; i < n; ++i) s[s.size() - 1 - i] *= static_cast<double>(i) / n;
}

// Every note sets its own volume, so an instrument's place in the mix is the level of its
// sample: `gain` is its peak as a share of full scale.
XmInstrument OneShot(const char* name, Signal signal, double gain, std::uint8_t panning, double pitch = 261.6255653) {
  FadeTail(signal, 0.004);
  XmInstrument instrument;
  instrument.name = name;
  instrument.sample.frames = ToFrames(signal, gain);
  instrument.sample.panning = panning;
  TuneSample(instrument.sample, kSampleRate, pitch);
  return instrument;
}

// A looped tone whose whole length is the loop; every partial makes whole cycles in it.
XmInstrument Looped(const char* name, const Signal& signal, double pitch, double gain, std::uint8_t panning,
                    XmEnvelope envelope, std::uint16_t fadeout) {
  XmInstrument instrument;
  instrument.name = name;
  instrument.sample.frames = ToFrames(signal, gain);
  instrument.sample.loopStart = 0;
  instrument.sample.loopLength = static_cast<std::uint32_t>(signal.size());
  instrument.sample.panning = panning;
  instrument.volumeEnvelope = std::move(envelope);
  instrument.fadeout = fadeout;
  TuneSample(instrument.sample, kSampleRate, pitch);
  return instrument;
}

double T(std::size_t i) { return static_cast<double>(i) / kSampleRate; }

// A drum body: a sine whose pitch falls from low + sweep to low, with a noise click on top.
struct SweptDrum {
  double seconds, low, sweep, sweepTime, decay, click, clickDecay, drive;
  std::uint32_t seed;
};

Signal Strike(const SweptDrum& d) {
  Signal s = Silence(d.seconds);
  Noise noise(d.seed);
  double phase = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = T(i);
    phase += 2 * kPi * (d.low + d.sweep * std::exp(-t / d.sweepTime)) / kSampleRate;
    const double body = std::sin(phase) * std::exp(-t / d.decay);
    s[i] = std::tanh(d.drive * (body + d.click * noise.next() * std::exp(-t / d.clickDecay)));
  }
  return s;
}

XmInstrument Snare() {
  Signal s = Silence(0.3);
  Noise noise(2);
  HighPass hiss(1800);
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = T(i);
    const double tone = 0.55 * std::sin(2 * kPi * 188 * t) * std::exp(-t / 0.045) +
                        0.25 * std::sin(2 * kPi * 331 * t) * std::exp(-t / 0.03);
    s[i] = tone + 0.8 * hiss.step(noise.next()) * std::exp(-t / 0.085);
  }
  return OneShot("snare", s, 0.95, 128);
}

// The metallic body of the hats and the crash: square waves at unrelated pitches, high-passed.
Signal Metal(double seconds, double decay, std::uint32_t seed, double highPass) {
  static constexpr std::array<double, 6> kPitches{205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
  Signal s = Silence(seconds);
  Noise noise(seed);
  HighPass filter(highPass);
  HighPass again(highPass);
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = T(i);
    double square = 0;
    for (double p : kPitches) square += std::sin(2 * kPi * p * 1.7 * t) > 0 ? 1 : -1;
    s[i] = again.step(filter.step(0.12 * square + 0.7 * noise.next())) * std::exp(-t / decay);
  }
  return s;
}

XmInstrument Clap() {
  Signal s = Silence(0.32);
  Noise noise(5);
  BandPass body(1150, 1.6);
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = T(i);
    double level = std::exp(-std::max(0.0, t - 0.027) / 0.09) * (t >= 0.027 ? 1 : 0);
    for (double start : {0.0, 0.009, 0.018})
      if (t >= start) level = std::max(level, std::exp(-(t - start) / 0.004));
    s[i] = body.step(noise.next()) * level;
  }
  return OneShot("clap", s, 0.95, 120);
}

XmInstrument Bass() {
  // Twenty cycles whose brightness falls off cycle by cycle, then the last cycle loops: a
  // plucked attack that settles into a round sustained tone.
  constexpr int kPeriod = 256, kCycles = 20;
  const double frequency = kSampleRate / kPeriod;
  Signal s(static_cast<std::size_t>(kPeriod * kCycles));
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    const double cut = 3 + 28 * std::exp(-cycle / 3.5);
    for (int j = 0; j < kPeriod; ++j) {
      const double t = static_cast<double>(j) / kSampleRate;
      const double saw = Harmonics(frequency, t, 60, 0, [&](int k) { return 1.0 / k / (1 + std::pow(k / cut, 4)); });
      s[static_cast<std::size_t>(cycle * kPeriod + j)] = saw + 0.6 * std::sin(2 * kPi * frequency * t);
    }
  }
  XmInstrument bass = Looped("bass", s, frequency, 0.9, 128, {{{0, 64}, {10, 46}, {14, 0}}, 1}, 800);
  bass.sample.loopStart = kPeriod * (kCycles - 1);
  bass.sample.loopLength = kPeriod;
  return bass;
}

// Detuned voices, each a whole number of cycles in the loop, so the chorus repeats seamlessly.
Signal Ensemble(int loop, int cycles, std::initializer_list<int> detune, int harmonics, double (*weight)(int, double)) {
  Signal s(static_cast<std::size_t>(loop), 0.0);
  int voice = 0;
  for (int d : detune) {
    const double f = static_cast<double>(cycles + d) * kSampleRate / loop;
    const double phase = 0.7 * ++voice;
    for (int i = 0; i < loop; ++i)
      s[static_cast<std::size_t>(i)] +=
          Harmonics(f, static_cast<double>(i) / kSampleRate, harmonics, phase, [&](int k) { return weight(k, f); });
  }
  return s;
}

constexpr int kLoop = 16384;

XmInstrument Pad() {
  constexpr int kCycles = 97;
  const Signal s = Ensemble(kLoop, kCycles, {-1, 0, 1}, 28,
                            [](int k, double) { return 1.0 / std::pow(k, 1.25) / (1 + std::pow(k / 14.0, 3)); });
  return Looped("pad", s, kCycles * kSampleRate / kLoop, 0.55, 128, {{{0, 0}, {14, 64}, {24, 54}, {70, 0}}, 2}, 200);
}

XmInstrument Lead() {
  constexpr int kCycles = 128;
  const Signal s = Ensemble(kLoop, kCycles, {0, 1}, 24, [](int k, double) {
    return (k % 2 ? 1.0 : 0.55) / k;  // between a saw and a square: hollow but bright
  });
  XmInstrument lead = Looped("lead", s, kCycles * kSampleRate / kLoop, 0.95, 128, {{{0, 0}, {2, 64}, {10, 50}, {20, 0}}, 2}, 600);
  lead.vibratoType = 0;
  lead.vibratoSweep = 48;
  lead.vibratoDepth = 3;
  lead.vibratoRate = 10;
  return lead;
}

XmInstrument Choir() {
  constexpr int kCycles = 97;
  const Signal s = Ensemble(kLoop, kCycles, {0, 1}, 40, [](int k, double f) {
    // Three formants of an open "ah", fixed in frequency.
    const double hz = k * f;
    auto peak = [&](double centre, double width, double gain) {
      return gain * std::exp(-std::pow((hz - centre) / width, 2));
    };
    return (peak(700, 160, 1.0) + peak(1150, 180, 0.6) + peak(2600, 300, 0.25) + 0.15 / k) / std::sqrt(k);
  });
  return Looped("choir", s, kCycles * kSampleRate / kLoop, 0.7, 110, {{{0, 0}, {26, 60}, {34, 54}, {100, 0}}, 2}, 150);
}

XmInstrument Pluck() {
  // A plucked string: a burst of soft noise circulating in a delay line that loses a little
  // of its treble on every pass.
  constexpr int kPeriod = 84;
  Signal s = Silence(1.0);
  Noise noise(9);
  double smooth = 0;
  for (int i = 0; i < kPeriod; ++i) {
    smooth = 0.6 * smooth + 0.4 * noise.next();
    s[static_cast<std::size_t>(i)] = smooth;
  }
  for (std::size_t i = kPeriod; i < s.size(); ++i) s[i] = 0.4985 * (s[i - kPeriod] + s[i - kPeriod + 1]) * 0.999;
  HighPass dc(40);
  for (double& v : s) v = dc.step(v);
  return OneShot("pluck", s, 0.95, 96, kSampleRate / (kPeriod - 0.5));
}

XmInstrument Bell() {
  constexpr double kCarrier = 523.2511306;
  Signal s = Silence(1.4);
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = T(i);
    // A whole-number modulator keeps the pitch clear; one quickly fading inharmonic partial
    // gives the strike its metal.
    const double index = 2.2 * std::exp(-t / 0.3);
    const double tone = std::sin(2 * kPi * kCarrier * t + index * std::sin(2 * kPi * 3 * kCarrier * t));
    const double strike = 0.35 * std::sin(2 * kPi * 2.76 * kCarrier * t) * std::exp(-t / 0.08);
    s[i] = (tone * std::exp(-t / 0.5) + strike) * std::min(1.0, t / 0.002);
  }
  return OneShot("bell", s, 0.7, 168, kCarrier);
}

XmInstrument Riser() {
  Signal s = Silence(2.0);
  Noise noise(14);
  BandPass sweep(400, 4);
  double phase = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = T(i), rise = t / 2.0;
    sweep.tune(400 * std::pow(15.0, rise), 4);
    phase += 2 * kPi * (220 * std::pow(4.0, rise)) / kSampleRate;
    s[i] = (sweep.step(noise.next()) + 0.15 * std::sin(phase)) * rise * rise;
  }
  return OneShot("riser", s, 0.85, 128);
}

XmInstrument Rim() {
  Signal s = Silence(0.09);
  BandPass ring(1750, 9);
  for (std::size_t i = 0; i < s.size(); ++i) s[i] = ring.step(i < 8 ? 1.0 : 0.0) * std::exp(-T(i) / 0.02);
  return OneShot("rim", s, 0.8, 160);
}

XmInstrument Stab() {
  // Root, fifth and octave of bright saws struck together: it fits any chord it is played on.
  constexpr double kRoot = 261.6255653;
  Signal s = Silence(0.5);
  Noise noise(16);
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = T(i);
    double chord = 0;
    for (double ratio : {1.0, 1.5, 2.0, 1.003, 2.006})
      chord += Harmonics(kRoot * ratio, t, 14, ratio, [](int k) { return 1.0 / k; });
    s[i] = (chord * std::exp(-t / 0.16) + 0.6 * noise.next() * std::exp(-t / 0.01)) * std::min(1.0, t / 0.002);
  }
  return OneShot("stab", s, 0.9, 128, kRoot);
}

}  // namespace

std::vector<XmInstrument> MakeInstruments() {
  std::vector<XmInstrument> list{OneShot("kick", Strike({0.38, 46, 125, 0.032, 0.17, 0.35, 0.0025, 1.8, 1}), 0.95, 128),
                                 Snare(),
                                 OneShot("closed hat", Metal(0.08, 0.018, 3, 6000), 0.95, 150),
                                 OneShot("open hat", Metal(0.45, 0.16, 4, 6000), 0.9, 150),
                                 Clap(), Bass(), Pad(), Lead(), Pluck(), Bell(),
                                 OneShot("tom", Strike({0.45, 92, 55, 0.06, 0.2, 0.15, 0.01, 0.8, 11}), 0.9, 150),
                                 OneShot("crash", Metal(1.3, 0.45, 12, 3000), 0.9, 110),
                                 Choir(), Riser(), Rim(), Stab()};
  return list;
}
