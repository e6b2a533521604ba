// How smoothly a run went, for a viewer or a bug report: the frames shown, the time between one
// frame and the next, and the process's CPU time, as one line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class FrameReport {
 public:
  FrameReport();

  // A frame was shown at `microseconds` (on any clock that does not go back).
  void Shown(std::int64_t microseconds);
  // The program chose to wait (the loading picture stands for two seconds): the time until the
  // next frame is not a frame interval.
  void Paused();

  std::uint64_t Frames() const { return frames_; }

  // The line: frames shown; the seconds and mean frames per second of the frame intervals; their
  // median, 95th and 99th percentile and maximum; how many exceeded 1.5 refresh intervals
  // (`refreshMicroseconds`); the CPU time over `wallSeconds` of the process; and `timing`, how
  // the presents were timed.
  std::string Line(std::int64_t refreshMicroseconds, double cpuSeconds, double wallSeconds,
                   const std::string& timing) const;

 private:
  std::uint64_t frames_ = 0;
  bool chained_ = false;  // the last frame starts an interval
  std::int64_t last_ = 0;
  // The intervals, counted by their microseconds: a frame more costs nothing, however long the
  // run (the end scroller plays for hours). Intervals of a tenth of a second and more are rare
  // stalls, kept one by one.
  std::vector<std::uint32_t> counts_;
  std::vector<std::uint32_t> stalls_;
  std::uint64_t intervals_ = 0;
  std::uint64_t totalMicroseconds_ = 0;
};

