// The framed tunnel of slot 11, with the beat (narrow and blurred) and without.
#include "music/beat_flags.h"
#include "apps/bench/slot_cases.h"

namespace {

const bool registered = AddSlotCases({
    {11, "framed tunnel, beat", [] { BeatFlagA = 1; }},
    {11, "framed tunnel, no beat", [] { BeatFlagA = 0; }},
});

}  // namespace
