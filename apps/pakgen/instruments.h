// The module's sixteen instruments, numbered as the song plays them. The first is the kick
// that marks every beat, the sixteenth the accent stab; the scenes follow both.
#pragma once

#include <vector>

#include "apps/pakgen/xm.h"

enum Instrument : std::uint8_t {
  kKick = 1,
  kSnare,
  kClosedHat,
  kOpenHat,
  kClap,
  kBass,
  kPad,
  kLead,
  kPluck,
  kBell,
  kTom,
  kCrash,
  kChoir,
  kRiser,
  kRim,
  kStab,
  kInstrumentCount = kStab
};

std::vector<XmInstrument> MakeInstruments();
