// The slots of the opening mesh, the blobs (moving and frozen by the beat) and slot 4 in both
// looks: the turning diamond, and the floor-and-ceiling planes it hands its frames to on the beat.
#include "music/beat_flags.h"
#include "apps/bench/slot_cases.h"

namespace {

const bool registered = AddSlotCases({
    {0, "mesh over a picture", {}},
    {3, "blobs, moving", [] { BeatFlagB = 0; }},
    {3, "blobs, frozen", [] { BeatFlagB = 1; }},
    {4, "diamond", [] { BeatFlagB = 0; }},
    {4, "floor and ceiling", [] { BeatFlagB = 1; }},
});

}  // namespace
