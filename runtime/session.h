// The one way a host plays the production. A program hands in the window backend and the sound
// device it has chosen; the session sets up what the program keeps between runs as a new process
// has it, runs the entry, and takes everything down again in one order. Tools and tests ask it
// what the schedule is and where the timeline stands, rather than reading the timeline's insides.
//
// The session is where the host meets the system, so it is the one unit of the system that knows
// the platform's two seams (the window backend and the sound device) besides its four headers.
#pragma once

#include <array>
#include <cstdint>

#include "platform/soundlib/sound_output.h"
#include "platform/windows/backend.h"
#include "runtime/timeline.h"

// One slot of the schedule: its duration, and where it begins on the timeline when every slot
// before it ran exactly its time. On a real run a slot gives way on the first frame after its
// time ran out, so the later starts come that much later (SlotReplay follows a real run).
struct ScheduledSlot {
  std::uint32_t startMs;
  std::uint32_t durationMs;
};
const std::array<ScheduledSlot, kSlotCount>& Schedule();

// How long the end scroller is shown before a capture or a measured pass of the whole production
// ends, and the timeline time at which that is.
inline constexpr std::uint32_t kEndScrollerShownMs = 10000;
std::int64_t ProductionEndMs();

// Where the timeline stands at clock value `now` (timeGetTime's milliseconds).
struct TimelinePosition {
  bool playing;             // slot 0 has begun and the run has not ended
  int slot;                 // the current slot, or -1 while not playing
  std::uint32_t slotMs;     // milliseconds since the current slot began (0 while not playing)
  std::int64_t timelineMs;  // milliseconds since slot 0 began, or -1 while not playing
};
TimelinePosition WhereIs(std::uint32_t now);

// Which slot the timeline shows for each frame of a run, fed every frame's timeline time in order:
// the rule the timeline keeps, for those who see only the frames. A slot gives way on the first
// frame after its time ran out, and that frame's slot is handed the time since the previous
// slot began; one frame moves on by one slot at most.
struct ReplayedFrame {
  int slot;
  std::uint32_t elapsed;  // what the slot's render operation is handed
};
class SlotReplay {
 public:
  ReplayedFrame Next(std::int64_t timelineMs);

 private:
  int slot_ = 0;
  std::int64_t start_ = 0;
};

class Session {
 public:
  // Installs the backend and the device, and forgets what an earlier run left behind.
  Session(WindowsBackend& window, SoundDevice& sound);
  // Ends the music before the device under it goes, then lets go of both.
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Plays the whole run with `commandLine` (what follows the program's name) and returns the
  // program's exit code.
  int Play(const char* commandLine);

  // Or frame by frame, for a host that measures: the start-up alone, true when slot 0 is next;
  // then any slot entered at a clock value as the timeline enters it, and frames drawn through
  // the main loop's own frame path; and last the end, as the close box ends a run.
  bool StartUp(const char* commandLine);
  void EnterSlot(unsigned slot, std::uint32_t now);
  // False once the run has ended (the last slot ran out, or a fatal error).
  bool DrawFrame(std::uint32_t now);
  int Finish();

 private:
  bool started_ = false;
  bool finished_ = false;
  int code_ = 0;
};
