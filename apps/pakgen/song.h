// The production's music: one pattern per scene slot, played at 120 beats a minute (eight rows
// a second) so every slot starts on a pattern; the last pattern loops under the end scroller.
#pragma once

#include <array>

#include "apps/pakgen/xm.h"

// First row of each slot's pattern, and the end of the song; slot s lasts from
// kSlotRows[s] to kSlotRows[s + 1] (the last slot's pattern is the loop).
inline constexpr std::array<int, 15> kSlotRows{0, 88, 128, 288, 408, 520, 560, 568, 608, 616, 656, 752, 872, 1016, 1144};
inline constexpr int kRowsPerSecond = 8;

XmModule ComposeSong();
