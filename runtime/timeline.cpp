#include "runtime/timeline.h"

#include <cstring>

#include "core/canvas.h"
#include "runtime/entry.h"
#include "core/errors.h"

SceneTimeline Timeline;
SceneSlot* SlotTable = nullptr;

void SceneTimeline::Create(unsigned slotCount) {
  const std::uint8_t slots = static_cast<std::uint8_t>(slotCount);
  SlotTable = static_cast<SceneSlot*>(CheckedAlloc(slots * sizeof(SceneSlot)));
  current = SlotTable;
  count = slots;
  number = 1;
}

void SceneTimeline::SetStart(std::uint32_t now) { current->start = now; }

void SceneTimeline::Dispatch(std::uint32_t now, std::uint32_t* canvas) {
  const std::uint32_t elapsed = now - current->start;  // modulo 2^32: the clock may wrap
  if (SlotRanOut(elapsed, current->duration) && !Advance(now)) return;
  // On the switching pass the new slot sees the time from the previous slot's start.
  current->render(elapsed, canvas);
}

bool SceneTimeline::Advance(std::uint32_t now) {
  const std::uint8_t old = number;
  number = static_cast<std::uint8_t>(old + 1);
  if (old >= count) {
    Shutdown();
    return false;
  }
  Enter(old, now);
  return true;
}

void SceneTimeline::Enter(unsigned slot, std::uint32_t now) {
  std::memset(Canvas, 0, kCanvasBytes);
  current = SlotTable + slot;
  number = static_cast<std::uint8_t>(slot + 1);
  current->start = now;
}
