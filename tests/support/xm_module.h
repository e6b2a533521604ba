// Small extended modules built in memory, so tests know every note they play and when.
#pragma once

#include <cstdint>
#include <vector>

struct XmCell {
  std::uint8_t note = 0;  // 1..96, 97 key-off, 0 none
  std::uint8_t instrument = 0;
  std::uint8_t volume = 0;
  std::uint8_t effect = 0;
  std::uint8_t parameter = 0;
};

struct XmPattern {
  int rows = 0;
  std::vector<XmCell> cells;  // row by row, channels within a row

  XmCell& at(int row, int channel, int channels) { return cells[static_cast<std::size_t>(row * channels + channel)]; }
};

struct XmSong {
  int channels = 2;
  int speed = 6;  // ticks per row
  int bpm = 125;  // a tick lasts 2.5 / bpm seconds
  int restart = 0;
  int instruments = 16;
  std::vector<std::uint8_t> orders{0};
  std::vector<XmPattern> patterns;

  // Adds an empty pattern of the given rows and returns its index.
  int AddPattern(int rows);
  XmCell& Cell(int pattern, int row, int channel) { return patterns[static_cast<std::size_t>(pattern)].at(row, channel, channels); }
};

inline constexpr std::uint8_t kXmKeyOff = 97;
inline constexpr std::uint8_t kXmExtendedEffect = 0x0E;  // E: parameter 0xDx delays the note by x ticks
inline constexpr std::uint8_t kXmSetSpeedEffect = 0x0F;

// The module's bytes (version 0x0104); every instrument holds one short looped square wave.
std::vector<std::uint8_t> BuildXm(const XmSong& song);
