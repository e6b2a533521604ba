// Extended modules (version 1.04) as this tool writes them: one sample per instrument, 16-bit.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "apps/pakgen/encoders.h"

inline constexpr std::uint8_t kKeyOff = 97;
// Note number of a name such as "C-4", "F#3" or "A-1" (C-0 is 1, C-4 is 49).
std::uint8_t NoteNumber(const std::string& name);

struct XmCell {
  std::uint8_t note = 0;        // 0 none, 1..96, kKeyOff
  std::uint8_t instrument = 0;  // 0 none, 1..128
  std::uint8_t volume = 0;      // volume column: 0 none, 0x10 + 0..64 sets the volume
  std::uint8_t effect = 0;
  std::uint8_t parameter = 0;
};

struct XmPattern {
  int rows = 0;
  std::vector<XmCell> cells;  // rows × channels, row-major
};

struct XmEnvelope {
  std::vector<std::pair<std::uint16_t, std::uint16_t>> points;  // (tick, level 0..64); empty = off
  int sustain = -1;  // point index held until key-off, or -1
};

struct XmSample {
  std::vector<std::int16_t> frames;
  std::uint32_t loopStart = 0, loopLength = 0;  // in frames; length 0 = one-shot
  std::uint8_t volume = 64;
  std::int8_t finetune = 0;
  std::int8_t relativeNote = 0;
  std::uint8_t panning = 128;
};

struct XmInstrument {
  std::string name;
  XmSample sample;
  XmEnvelope volumeEnvelope;
  std::uint16_t fadeout = 0;
  // Automatic vibrato: type, sweep, depth, rate.
  std::uint8_t vibratoType = 0, vibratoSweep = 0, vibratoDepth = 0, vibratoRate = 0;
};

struct XmModule {
  std::string name;
  std::string tracker;
  int channels = 0;
  int speed = 6;
  int bpm = 125;
  int restart = 0;
  std::vector<std::uint8_t> orders;
  std::vector<XmPattern> patterns;
  std::vector<XmInstrument> instruments;
};

// Tunes a sample recorded at `sampleRate` whose pitch is `frequency` so that note C-4 plays it
// at 261.63 Hz (a drum recorded at its natural speed gives frequency 261.63 to play unchanged).
void TuneSample(XmSample& sample, double sampleRate, double frequency);

Bytes EncodeXm(const XmModule& module);
