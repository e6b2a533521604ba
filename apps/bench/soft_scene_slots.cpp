// The slots of the sine warp, the four-centre tunnel field, the greetings tunnel and the scroller.
#include "apps/bench/slot_cases.h"

namespace {

const bool registered = AddSlotCases({
    {1, "sine warp", {}},
    {6, "four-centre tunnel", {}},
    {8, "four-centre tunnel", {}},
    {10, "sine warp with text", {}},
    {12, "greetings tunnel", {}},
    {13, "end scroller", {}},
});

}  // namespace
