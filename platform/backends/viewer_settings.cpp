#include "platform/backends/viewer_settings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

template <typename T, std::size_t N>
struct Choice {
  const char* names[N];
  T values[N];
};

// The value named by `text`, or `fallback` with a word on stderr when it names none.
template <typename T, std::size_t N>
T Choose(const char* variable, const char* text, const Choice<T, N>& choice, const char* expected, T fallback,
         const char* fallbackName) {
  if (text == nullptr) return fallback;
  for (std::size_t i = 0; i < N; ++i) {
    if (std::strcmp(text, choice.names[i]) == 0) return choice.values[i];
  }
  std::fprintf(stderr, "%s: ignoring '%s' (%s); using %s\n", variable, text, expected, fallbackName);
  return fallback;
}

constexpr Choice<bool, 2> kOnOff{{"0", "1"}, {false, true}};
constexpr Choice<ScaleFilter, 3> kFilters{{"nearest", "linear", "sharp"},
                                          {ScaleFilter::kNearest, ScaleFilter::kLinear, ScaleFilter::kSharp}};

}  // namespace

ViewerSettings ReadViewerSettings(const char* vsync, const char* scale, const char* stats) {
  const ViewerSettings defaults;
  ViewerSettings settings;
  settings.vsync = Choose("KALETH_VSYNC", vsync, kOnOff, "0 or 1", defaults.vsync, "1");
  settings.scale = Choose("KALETH_SCALE", scale, kFilters, "nearest, linear or sharp", defaults.scale, "sharp");
  settings.stats = Choose("KALETH_STATS", stats, kOnOff, "0 or 1", defaults.stats, "0");
  return settings;
}

ViewerSettings ViewerSettingsFromEnvironment() {
  return ReadViewerSettings(std::getenv("KALETH_VSYNC"), std::getenv("KALETH_SCALE"), std::getenv("KALETH_STATS"));
}
