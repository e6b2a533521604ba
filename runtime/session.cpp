#include "runtime/session.h"

#include <cstring>

#include "core/canvas.h"
#include "core/errors.h"
#include "display/present.h"
#include "music/beat_flags.h"
#include "runtime/entry.h"
#include "runtime/schedule.h"

const std::array<ScheduledSlot, kSlotCount>& Schedule() {
  static const std::array<ScheduledSlot, kSlotCount> schedule = [] {
    std::array<ScheduledSlot, kSlotCount> slots{};
    std::uint32_t start = 0;
    for (unsigned i = 0; i < kSlotCount; ++i) {
      slots[i] = ScheduledSlot{start, SlotDuration(i)};
      start += slots[i].durationMs;
    }
    return slots;
  }();
  return schedule;
}

std::int64_t ProductionEndMs() { return Schedule()[kSlotCount - 1].startMs + kEndScrollerShownMs; }

TimelinePosition WhereIs(std::uint32_t now) {
  if (!Playing || SlotTable == nullptr) return TimelinePosition{false, -1, 0, -1};
  const int slot = static_cast<int>(Timeline.current - SlotTable);
  // Modulo 2^32, as the timeline counts: the clock may wrap.
  return TimelinePosition{true, slot, now - Timeline.current->start,
                          static_cast<std::uint32_t>(now - SlotTable[0].start)};
}

ReplayedFrame SlotReplay::Next(std::int64_t timelineMs) {
  const auto elapsed = static_cast<std::uint32_t>(timelineMs - start_);
  if (slot_ + 1 < static_cast<int>(kSlotCount) && SlotRanOut(elapsed, Schedule()[slot_].durationMs)) {
    ++slot_;
    start_ = timelineMs;
  }
  return ReplayedFrame{slot_, elapsed};
}

Session::Session(WindowsBackend& window, SoundDevice& sound) {
  ResetSoundLibrary();
  ResetWindowsState();
  SetWindowsBackend(&window);
  SetSoundDevice(&sound);
  HasShutDown = false;
  Playing = false;
  // The beat flags as a new process starts them; a run before may have left them otherwise.
  BeatFlagA = 1;
  BeatFlagB = 0;
}

Session::~Session() {
  // The music never stops by itself; it ends here, before the device under it goes.
  ResetSoundLibrary();
  ResetWindowsState();
  SetSoundDevice(nullptr);
  SetWindowsBackend(nullptr);
  Playing = false;
}

int Session::Play(const char* commandLine) {
  // The entry reads the command line only; its type is the platform's.
  return WinMain(nullptr, nullptr, const_cast<char*>(commandLine), SW_SHOWDEFAULT);
}

bool Session::StartUp(const char* commandLine) {
  try {
    started_ = BeginRun(nullptr, const_cast<char*>(commandLine), SW_SHOWDEFAULT);
  } catch (const FatalErrorExit&) {
    started_ = false;
    finished_ = true;
  }
  return started_;
}

void Session::EnterSlot(unsigned slot, std::uint32_t now) { Timeline.Enter(slot, now); }

bool Session::DrawFrame(std::uint32_t now) {
  if (!started_ || finished_ || HasShutDown) return false;
  try {
    Timeline.Dispatch(now, Canvas);
    if (!HasShutDown) PresentFrame();
  } catch (const FatalErrorExit&) {
    finished_ = true;
  }
  return !finished_ && !HasShutDown;
}

int Session::Finish() {
  if (finished_) return code_;
  finished_ = true;
  if (!started_) return code_;
  try {
    // As a person closing the window would: the loop takes the close, shuts down and quits.
    PostBackendMessage(WM_CLOSE, 0);
    code_ = RunMainLoop();
  } catch (const FatalErrorExit&) {
    code_ = 0;
  }
  return code_;
}
