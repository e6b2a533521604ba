// What a viewer chooses with the environment:
//   KALETH_VSYNC  1 (default): frames wait for the display's refresh; 0: they go out as fast as
//                 the loop runs (for measuring).
//   KALETH_SCALE  sharp (default), nearest or linear: how the picture is enlarged to the screen.
//   KALETH_STATS  1: one line about how smoothly the run went, at its end; 0 (default): none.
// A value that is not one of these is named and the default is used.
#pragma once

#include <string>
#include <vector>

enum class ScaleFilter { kNearest, kLinear, kSharp };

struct ViewerSettings {
  bool vsync = true;
  ScaleFilter scale = ScaleFilter::kSharp;
  bool stats = false;
};

// The settings from these values of the three variables (null: not set); a value that cannot be
// used adds its line to `warnings`.
ViewerSettings ReadViewerSettings(const char* vsync, const char* scale, const char* stats,
                                  std::vector<std::string>* warnings);
