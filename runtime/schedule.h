// The scenes' set-up and clean-up orders, and the schedule of the fourteen slots.
#pragma once

#include <cstdint>

// Runs every scene's set-up in its fixed order, then creates and fills the timeline.
void SetUpScenes();
// Runs the scenes' clean-ups in their fixed order, ending with the release of the 3D device.
void CleanUpScenes();
// Writes render operation and duration of the fourteen slots.
void FillSlotTable();
// The duration the schedule gives slot `slot` (0-13).
std::uint32_t SlotDuration(unsigned slot);
