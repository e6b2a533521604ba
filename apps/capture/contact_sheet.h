// The contact sheet: one frame from the middle of every slot the capture reaches, half size,
// labelled with the slot's number and the frame's timeline time, on one picture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/windows/backend.h"

class ContactSheet {
 public:
  // endMs bounds the middle of a slot that outlasts the capture (the end scroller).
  explicit ContactSheet(std::int64_t endMs) : endMs_(endMs) {}

  // Looks at a frame of `slot`, `slotElapsed` ms into it; keeps it when it is the slot's middle.
  void Offer(const FrameView& frame, int slot, std::uint32_t slotElapsed, std::uint32_t slotDuration,
             std::int64_t timelineMs);
  int CellsTaken() const;
  bool Write(const std::string& path, std::string* error) const;

 private:
  struct Cell {
    int slot = -1;
    std::int64_t timelineMs = 0;
    std::vector<std::uint32_t> pixels;  // kCellWidth x kCellHeight
  };
  std::int64_t endMs_;
  std::vector<Cell> cells_;
};
