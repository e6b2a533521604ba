// The fixed schedule of scene slots: measures each slot's time, calls its render operation,
// moves on when the slot has run its time, and shuts the program down after the last.
#pragma once

#include <cstdint>

// A scene's per-frame operation: milliseconds since its slot began, and the canvas.
using RenderOp = void (*)(std::uint32_t elapsed, std::uint32_t* canvas);

struct SceneSlot {
  RenderOp render;
  std::uint32_t start;
  std::uint32_t duration;
};

struct SceneTimeline {
  SceneSlot* current;
  std::uint8_t count;
  std::uint8_t number;  // 1-based number of the current slot

  void Create(unsigned slotCount);
  void SetStart(std::uint32_t now);
  void Dispatch(std::uint32_t now, std::uint32_t* canvas);
  // Moves to the next slot; returns false when the last slot ran out and the program shut down.
  bool Advance(std::uint32_t now);
  // Makes `slot` (0-based) current as moving to it does: a black canvas, the slot's clock from now.
  void Enter(unsigned slot, std::uint32_t now);
};

inline constexpr unsigned kSlotCount = 14;

// A slot gives way once more than its duration has passed since it began.
inline bool SlotRanOut(std::uint32_t elapsed, std::uint32_t duration) { return elapsed > duration; }

extern SceneTimeline Timeline;
// The slot array, through which the schedule is filled in.
extern SceneSlot* SlotTable;
