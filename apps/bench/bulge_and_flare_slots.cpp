// The slots of the bulging cube over the wave and of the twisting bar with its flares.
#include "apps/bench/slot_cases.h"

namespace {

const bool registered = AddSlotCases({
    {2, "bulging cube over a wave", {}},
    {5, "twisting bar with flares", {}},
    {7, "twisting bar with flares", {}},
    {9, "twisting bar with flares", {}},
});

}  // namespace
