// Every KALETH_* setting of one run, read in one place: what the stand-in display and 3D device
// offer, what the viewer chose, how many threads draw, which faults are injected and where the
// package is. A program reads the profile once at its start and hands each value to the part
// that uses it; nothing else looks at the environment.
#pragma once

#include <string>
#include <vector>

#include "platform/direct3d/d3d_settings.h"
#include "platform/directdraw/display_settings.h"
#include "platform/backends/viewer_settings.h"

struct MachineProfile {
  DirectDrawSettingsData display;                           // KALETH_DISPLAY_DEPTHS, _DESKTOP_DEPTH, _PITCH_PADDING
  Direct3DSettingsData device = DefaultDirect3DSettings();  // KALETH_DEPTH_FORMATS
  ViewerSettings viewer;                                    // KALETH_VSYNC, KALETH_SCALE, KALETH_STATS
  int threads = 0;                                          // KALETH_THREADS; 0: one per processor
  std::string faultRules;                                   // KALETH_FAULTS, well-formed; empty: none
  std::string dataFolder;                                   // KALETH_DATA; empty: the usual search
};

// How a setting's value is found: null when it is not set (std::getenv, or a stand-in).
using SettingLookup = const char* (*)(const char* name);

// The profile from the values `lookup` gives. A value that cannot be used (an empty one too)
// leaves its default and adds one line to `warnings` saying so and what is used instead.
MachineProfile ReadMachineProfile(SettingLookup lookup, std::vector<std::string>* warnings);

// Hands the values to their parts: the display's and the 3D device's offers, the shared worker
// pool's size and the fault registry's rules (replacing any). The viewer settings and the data
// folder go to the backend and the data-folder search, which the host hands them to.
void InstallMachineProfile(const MachineProfile& profile);

// What a program does first: reads the profile from the environment, says on stderr what it
// ignored, installs the profile and gives it back.
MachineProfile LoadMachineProfile();
