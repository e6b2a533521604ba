// The machine profile: every KALETH_* setting read in one place, each usable value taken, every
// other one named once (escaped) with what is used instead, and the whole handed to its parts.
#include "platform/backends/machine_profile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

#include "platform/faults.h"
#include "platform/setting_text.h"

namespace {

using Lines = std::vector<std::string>;

std::map<std::string, std::string> Environment;

const char* Lookup(const char* name) {
  const auto found = Environment.find(name);
  return found == Environment.end() ? nullptr : found->second.c_str();
}

MachineProfile Read(std::map<std::string, std::string> environment, Lines* warnings) {
  Environment = std::move(environment);
  return ReadMachineProfile(Lookup, warnings);
}

std::vector<DWORD> FormatBits(const Direct3DSettingsData& device) {
  std::vector<DWORD> bits;
  for (const DDPIXELFORMAT& format : device.depthFormats) bits.push_back(format.dwZBufferBitDepth);
  return bits;
}

TEST(MachineProfile, UnsetGivesTheDefaultsAndEveryUsableValueIsTaken) {
  Lines warnings;
  const MachineProfile defaults = Read({}, &warnings);
  EXPECT_EQ(defaults.display.modeDepths, (std::vector<DWORD>{32, 24, 16}));
  EXPECT_EQ(defaults.display.desktopDepth, 32u);
  EXPECT_EQ(FormatBits(defaults.device), (std::vector<DWORD>{32, 32, 16}));
  EXPECT_EQ(defaults.threads, 0);
  EXPECT_EQ(defaults.faultRules, "");
  EXPECT_EQ(defaults.dataFolder, "");

  const MachineProfile chosen = Read({{"KALETH_DISPLAY_DEPTHS", "24,16"},
                                      {"KALETH_DESKTOP_DEPTH", "16"},
                                      {"KALETH_PITCH_PADDING", "64"},
                                      {"KALETH_DEPTH_FORMATS", "15s1,16"},
                                      {"KALETH_VSYNC", "0"},
                                      {"KALETH_STATS", "1"},
                                      {"KALETH_THREADS", "3"},
                                      {"KALETH_FAULTS", "A@2,B@1+"},
                                      {"KALETH_DATA", "../data"}},
                                     &warnings);
  EXPECT_EQ(warnings, Lines{});
  EXPECT_EQ(chosen.display.modeDepths, (std::vector<DWORD>{24, 16}));
  EXPECT_EQ(chosen.display.desktopDepth, 16u);
  EXPECT_EQ(chosen.display.pitchPadding, 64);
  EXPECT_EQ(FormatBits(chosen.device), (std::vector<DWORD>{16, 16}));
  EXPECT_FALSE(chosen.viewer.vsync);
  EXPECT_TRUE(chosen.viewer.stats);
  EXPECT_EQ(chosen.threads, 3);
  EXPECT_EQ(chosen.faultRules, "A@2,B@1+");
  EXPECT_EQ(chosen.dataFolder, "../data");
  // "none" alone is a device without a depth buffer, which the system reports in its own words.
  EXPECT_TRUE(Read({{"KALETH_DEPTH_FORMATS", "none"}}, &warnings).device.depthFormats.empty());
  EXPECT_EQ(warnings, Lines{});
}

// Malformed, empty and unsupported values alike: one line each, the default kept, so that no
// setting can end a run that would otherwise play.
TEST(MachineProfile, AValueThatCannotBeUsedIsNamedAndTheDefaultKept) {
  const MachineProfile defaults;
  struct Case {
    const char* name;
    std::string value;
    std::string line;  // how the line begins; empty: only that there is one
  } cases[] = {
      {"KALETH_DISPLAY_DEPTHS", "0", "KALETH_DISPLAY_DEPTHS: ignoring '0' (a comma list of 32, 24 and 16); using 32,24,16"},
      {"KALETH_DISPLAY_DEPTHS", "8", ""},
      {"KALETH_DISPLAY_DEPTHS", "15", ""},
      {"KALETH_DISPLAY_DEPTHS", "garbage", ""},
      {"KALETH_DISPLAY_DEPTHS", "", ""},
      {"KALETH_DISPLAY_DEPTHS", "24,", ""},
      {"KALETH_DISPLAY_DEPTHS", "24,8", ""},
      {"KALETH_DISPLAY_DEPTHS", "24 ", ""},
      {"KALETH_DESKTOP_DEPTH", "8", "KALETH_DESKTOP_DEPTH: ignoring '8' (32, 24 or 16); using 32"},
      {"KALETH_DESKTOP_DEPTH", "", ""},
      {"KALETH_PITCH_PADDING", "4097", "KALETH_PITCH_PADDING: ignoring '4097' (bytes from 0 to 4096); using 0"},
      {"KALETH_PITCH_PADDING", "-1", ""},
      {"KALETH_DEPTH_FORMATS", "24",
       "KALETH_DEPTH_FORMATS: ignoring '24' (a comma list of 16, 32, 24s8 and 15s1, or none); using 24s8,32,16"},
      {"KALETH_DEPTH_FORMATS", "", ""},
      {"KALETH_DEPTH_FORMATS", "16,none", ""},
      {"KALETH_VSYNC", "", ""},
      {"KALETH_THREADS", " 2", ""},
      {"KALETH_THREADS", "+2", ""},
      {"KALETH_THREADS", "2 ", ""},
      {"KALETH_THREADS", "0", ""},
      {"KALETH_THREADS", "65", ""},
      {"KALETH_THREADS", "", ""},
      {"KALETH_THREADS", "18446744073709551618", ""},
      {"KALETH_THREADS", "2\x1b[2J\n\\", "KALETH_THREADS: ignoring '2\\x1B[2J\\n\\\\' (a whole number from 1 to 64); using "},
      {"KALETH_FAULTS", "", "KALETH_FAULTS: ignoring '' (OPERATION@N, @NxK or @N+, comma-separated); using none"},
      {"KALETH_FAULTS", "A@1,B@0", ""},
      {"KALETH_FAULTS", "A@4294967297", ""},
      {"KALETH_DATA", "", "KALETH_DATA: ignoring '' (a folder); using the usual folders"},
  };
  for (const Case& c : cases) {
    Lines warnings;
    const MachineProfile profile = Read({{c.name, c.value}}, &warnings);
    SCOPED_TRACE(std::string(c.name) + "='" + EscapeSettingText(c.value) + "'");
    ASSERT_EQ(warnings.size(), 1u);
    if (!c.line.empty()) {
      EXPECT_EQ(warnings[0].substr(0, c.line.size()), c.line);
    }
    for (char byte : warnings[0]) {
      EXPECT_GE(static_cast<unsigned char>(byte), 0x20) << "echoed raw";
    }
    EXPECT_EQ(profile.display.modeDepths, defaults.display.modeDepths);
    EXPECT_EQ(profile.display.desktopDepth, defaults.display.desktopDepth);
    EXPECT_EQ(profile.display.pitchPadding, defaults.display.pitchPadding);
    EXPECT_EQ(FormatBits(profile.device), FormatBits(defaults.device));
    EXPECT_EQ(profile.viewer.vsync, defaults.viewer.vsync);
    EXPECT_EQ(profile.threads, 0);
    EXPECT_EQ(profile.faultRules, "");
    EXPECT_EQ(profile.dataFolder, "");
  }
  // The one number rule, at the edge of the widest number.
  std::uint64_t value = 0;
  EXPECT_TRUE(ParseSettingNumber("18446744073709551615", 0, UINT64_MAX, &value));
  EXPECT_EQ(value, UINT64_MAX);
  EXPECT_FALSE(ParseSettingNumber("18446744073709551616", 0, UINT64_MAX, &value));
}

TEST(MachineProfile, InstallingHandsEveryValueToItsPart) {
  MachineProfile profile;
  profile.display.modeDepths = {16};
  profile.display.pitchPadding = 8;
  profile.device.depthFormats.clear();
  profile.faultRules = "MachineProfileTest@2";
  InstallMachineProfile(profile);
  EXPECT_EQ(DirectDrawSettings().modeDepths, std::vector<DWORD>{16});
  EXPECT_EQ(DirectDrawSettings().pitchPadding, 8);
  EXPECT_TRUE(Direct3DSettings().depthFormats.empty());
  EXPECT_FALSE(faults::Hit("MachineProfileTest"));
  EXPECT_TRUE(faults::Hit("MachineProfileTest"));
  // A profile without rules takes the earlier ones away.
  InstallMachineProfile(MachineProfile{});
  EXPECT_EQ(DirectDrawSettings().modeDepths, (std::vector<DWORD>{32, 24, 16}));
  EXPECT_EQ(Direct3DSettings().depthFormats.size(), 3u);
  EXPECT_FALSE(faults::Hit("MachineProfileTest"));
  EXPECT_EQ(faults::Calls("MachineProfileTest"), 1u) << "the tests count every call";
}

}  // namespace
