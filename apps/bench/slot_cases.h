// The slots kaleth-bench measures. Each scene's developer adds the slots of their scenes in a
// file of their own in this folder, with a static registration:
//
//   const bool registered = AddSlotCases({{11, "framed tunnel, blurred", [] { BeatFlagA = 1; }}});
//
// A case may set what its slot reacts to (a beat flag, say) before its frames are drawn.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct SlotCase {
  unsigned slot;
  std::string label;
  std::function<void()> prepare;  // may be empty
};

// Adds cases to the list; returns true, for use in a static initialiser.
bool AddSlotCases(std::vector<SlotCase> cases);

// Every registered case, ordered by slot (cases of one slot keep their order).
std::vector<SlotCase> SlotCases();
