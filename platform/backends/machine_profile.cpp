#include "platform/backends/machine_profile.h"

#include <cstdio>
#include <cstdlib>

#include "platform/faults.h"
#include "platform/setting_text.h"
#include "platform/threads/worker_pool.h"

MachineProfile ReadMachineProfile(SettingLookup lookup, std::vector<std::string>* warnings) {
  MachineProfile profile;
  profile.display = ReadDisplaySettings(lookup("KALETH_DISPLAY_DEPTHS"), lookup("KALETH_DESKTOP_DEPTH"),
                                        lookup("KALETH_PITCH_PADDING"), warnings);
  profile.device = ReadDirect3DSettings(lookup("KALETH_DEPTH_FORMATS"), warnings);
  profile.viewer = ReadViewerSettings(lookup("KALETH_VSYNC"), lookup("KALETH_SCALE"), lookup("KALETH_STATS"), warnings);
  profile.threads = ReadWorkerThreads(lookup("KALETH_THREADS"), warnings);
  if (const char* rules = lookup("KALETH_FAULTS")) {
    if (faults::WellFormed(rules)) profile.faultRules = rules;
    else warnings->push_back(IgnoredSetting("KALETH_FAULTS", rules, "OPERATION@N, @NxK or @N+, comma-separated", "none"));
  }
  if (const char* data = lookup("KALETH_DATA")) {
    if (*data != '\0') profile.dataFolder = data;
    else warnings->push_back(IgnoredSetting("KALETH_DATA", data, "a folder", "the usual folders"));
  }
  return profile;
}

void InstallMachineProfile(const MachineProfile& profile) {
  DirectDrawSettings() = profile.display;
  Direct3DSettings() = profile.device;
  PlanWorkerThreads(profile.threads);
  faults::Reset();
  if (!profile.faultRules.empty()) faults::Parse(profile.faultRules);
}

MachineProfile LoadMachineProfile() {
  std::vector<std::string> warnings;
  const MachineProfile profile = ReadMachineProfile([](const char* name) -> const char* { return std::getenv(name); },
                                                    &warnings);
  for (const std::string& line : warnings) std::fprintf(stderr, "%s\n", line.c_str());
  InstallMachineProfile(profile);
  return profile;
}
