#include "platform/backends/viewer_settings.h"

#include <cstring>

#include "platform/setting_text.h"

namespace {

template <typename T, std::size_t N>
struct Choice {
  const char* names[N];
  T values[N];
};

// The value named by `text`, or `fallback` with a line in `warnings` when it names none.
template <typename T, std::size_t N>
T Choose(const char* variable, const char* text, const Choice<T, N>& choice, const char* expected, T fallback,
         const char* fallbackName, std::vector<std::string>* warnings) {
  if (text == nullptr) return fallback;
  for (std::size_t i = 0; i < N; ++i) {
    if (std::strcmp(text, choice.names[i]) == 0) return choice.values[i];
  }
  warnings->push_back(IgnoredSetting(variable, text, expected, fallbackName));
  return fallback;
}

constexpr Choice<bool, 2> kOnOff{{"0", "1"}, {false, true}};
constexpr Choice<ScaleFilter, 3> kFilters{{"nearest", "linear", "sharp"},
                                          {ScaleFilter::kNearest, ScaleFilter::kLinear, ScaleFilter::kSharp}};

}  // namespace

ViewerSettings ReadViewerSettings(const char* vsync, const char* scale, const char* stats,
                                  std::vector<std::string>* warnings) {
  const ViewerSettings defaults;
  ViewerSettings settings;
  settings.vsync = Choose("KALETH_VSYNC", vsync, kOnOff, "0 or 1", defaults.vsync, "1", warnings);
  settings.scale =
      Choose("KALETH_SCALE", scale, kFilters, "nearest, linear or sharp", defaults.scale, "sharp", warnings);
  settings.stats = Choose("KALETH_STATS", stats, kOnOff, "0 or 1", defaults.stats, "0", warnings);
  return settings;
}
