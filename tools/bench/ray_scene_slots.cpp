// The framed tunnel of slot 11, with the beat (narrow and blurred) and without, and the
// floor-and-ceiling planes that slot 4 shows while BeatFlagB is set.
#include "music/beat_flags.h"
#include "scenes/soft/floor_and_ceiling.h"
#include "tools/bench/slot_cases.h"

namespace {

const bool registered = AddSlotCases({
    {11, "framed tunnel, beat", [] { BeatFlagA = 1; }},
    {11, "framed tunnel, no beat", [] { BeatFlagA = 0; }},
    // Drawn directly until the slot-4 scene hands its frames over.
    {4, "floor and ceiling", [] { BeatFlagB = 1; }, DrawFloorAndCeiling},
});

}  // namespace
