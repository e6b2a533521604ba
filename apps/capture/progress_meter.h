// The progress line of long captures: frames done, frames per second and time left, redrawn in
// place on a terminal; elsewhere (or when quiet) only the closing summary is printed.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

class ProgressMeter {
 public:
  ProgressMeter(std::uint64_t expectedFrames, bool quiet);
  void FrameDone();
  // Ends the line and prints the summary, always.
  void Finish(const std::string& summary);
  double Seconds() const;

 private:
  void draw();

  std::uint64_t expected_;
  std::uint64_t done_ = 0;
  bool live_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastDraw_;
};
