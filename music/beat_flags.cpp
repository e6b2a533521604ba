#include "music/beat_flags.h"

std::atomic<std::int32_t> BeatFlagA{1};
std::atomic<std::int32_t> BeatFlagB{0};
