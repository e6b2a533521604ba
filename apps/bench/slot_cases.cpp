#include "apps/bench/slot_cases.h"

#include <algorithm>

namespace {

// A function-local list, so that registrations from any file's static initialisers find it built.
std::vector<SlotCase>& Registered() {
  static std::vector<SlotCase> cases;
  return cases;
}

}  // namespace

bool AddSlotCases(std::vector<SlotCase> cases) {
  for (SlotCase& c : cases) Registered().push_back(std::move(c));
  return true;
}

std::vector<SlotCase> SlotCases() {
  std::vector<SlotCase> cases = Registered();
  std::stable_sort(cases.begin(), cases.end(), [](const SlotCase& a, const SlotCase& b) { return a.slot < b.slot; });
  return cases;
}
