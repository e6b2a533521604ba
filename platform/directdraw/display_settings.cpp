#include "platform/directdraw/display_settings.h"

#include "platform/comma_list.h"
#include "platform/setting_text.h"

namespace {

// The depths the stand-in can set and draw: there is no palette, so no 8 bits.
bool ReadDepth(const std::string& text, DWORD* depth) {
  std::uint64_t value = 0;
  if (!ParseSettingNumber(text, 16, 32, &value) || (value != 32 && value != 24 && value != 16)) return false;
  *depth = static_cast<DWORD>(value);
  return true;
}

std::string DepthList(const std::vector<DWORD>& depths) {
  std::string list;
  for (DWORD depth : depths) list += (list.empty() ? "" : ",") + std::to_string(depth);
  return list;
}

}  // namespace

DirectDrawSettingsData ReadDisplaySettings(const char* modeDepths, const char* desktopDepth, const char* pitchPadding,
                                           std::vector<std::string>* warnings) {
  DirectDrawSettingsData settings;
  if (modeDepths != nullptr) {
    // One depth that cannot be offered spoils the list: a machine is presented as written or not at all.
    std::vector<DWORD> depths;
    bool usable = *modeDepths != '\0';
    for (const std::string& item : SplitCommaList(modeDepths)) {
      DWORD depth = 0;
      usable = usable && ReadDepth(item, &depth);
      depths.push_back(depth);
    }
    if (usable) settings.modeDepths = depths;
    else warnings->push_back(IgnoredSetting("KALETH_DISPLAY_DEPTHS", modeDepths, "a comma list of 32, 24 and 16",
                                            DepthList(settings.modeDepths)));
  }
  if (desktopDepth != nullptr && !ReadDepth(desktopDepth, &settings.desktopDepth)) {
    warnings->push_back(IgnoredSetting("KALETH_DESKTOP_DEPTH", desktopDepth, "32, 24 or 16",
                                       std::to_string(settings.desktopDepth)));
  }
  if (pitchPadding != nullptr) {
    std::uint64_t padding = 0;
    if (ParseSettingNumber(pitchPadding, 0, 4096, &padding)) settings.pitchPadding = static_cast<int>(padding);
    else warnings->push_back(IgnoredSetting("KALETH_PITCH_PADDING", pitchPadding, "bytes from 0 to 4096",
                                            std::to_string(settings.pitchPadding)));
  }
  return settings;
}

DirectDrawSettingsData& DirectDrawSettings() {
  static DirectDrawSettingsData settings;
  return settings;
}
