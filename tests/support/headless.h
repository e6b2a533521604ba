// A headless machine for in-process tests: installs the headless backend, forgets the window,
// the queue, the sound library, the fault rules, the display settings and whether a run has shut
// down, and gives them back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "platform/directdraw/display_settings.h"
#include "platform/faults.h"
#include "platform/soundlib/bass.h"
#include "platform/backends/headless/headless_backend.h"
#include "runtime/entry.h"

class HeadlessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    faults::Reset();
    ResetSoundLibrary();
    ResetWindowsState();
    DirectDrawSettings() = DirectDrawSettingsData{};
    HasShutDown = false;
    backend.printBoxes = false;
    SetWindowsBackend(&backend);
    SetSoundDevice(&backend);
  }
  void TearDown() override {
    ResetSoundLibrary();
    ResetWindowsState();
    SetSoundDevice(nullptr);
    SetWindowsBackend(nullptr);
    faults::Reset();
    DirectDrawSettings() = DirectDrawSettingsData{};
  }

  // Takes every waiting message off the queue.
  std::vector<MSG> DrainMessages() {
    std::vector<MSG> taken;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) taken.push_back(msg);
    return taken;
  }

  int CountQuits() {
    int quits = 0;
    for (const MSG& msg : DrainMessages()) quits += msg.message == WM_QUIT;
    return quits;
  }

  HeadlessBackend backend;
};
