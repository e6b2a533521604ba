// The Windows programs of the cross-build run under Wine on a private X server: scripts/
// test-windows.sh makes the Wine prefix and the sound server, and points KALETH_WIN_BUILD at the
// programs; every test here gets a display of its own and a fresh Wine server.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/x_server.h"

// Where a window's inside lies on the screen.
struct ScreenRect {
  int left = 0, top = 0, width = 0, height = 0;
};

class WineTest : public XServerTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A program of the Windows build, by name ("kaleth.exe").
  static std::filesystem::path WindowsPath(const std::string& program);
  // argv running `program` (a Windows program's path) under Wine.
  static std::vector<std::string> UnderWine(const std::filesystem::path& program, const std::vector<std::string>& arguments);
  // The display's and Wine's environment, and the additions given.
  std::vector<std::string> WineEnvironment(const std::vector<std::string>& more = {}) const;
  // Where the inside of the X window `window` lies on the screen, from xwininfo.
  ScreenRect Inside(const std::string& window);

  std::string wine_;
};

// The PNG frames a capture wrote into `folder`, in order.
std::vector<std::filesystem::path> CapturedFrames(const std::filesystem::path& folder);
// The timeline time in a capture's frame name (frame-000002-t0004000.png: 4000), -1 for the
// loading picture.
int FrameTime(const std::filesystem::path& frame);

// A 512 x 384 capture frame, 0x00RRGGBB.
std::vector<std::uint32_t> ReadFrame(const std::filesystem::path& path);

// How like a 512 x 384 frame the part `place` of `shot` is, the frame enlarged or shrunk to fill
// it (each frame pixel judged by the screen pixel at its middle): the peak signal-to-noise ratio
// in dB (99 when equal), and the share of pixels whose every channel is within 8 of the frame's.
struct PictureComparison {
  double psnr = 0;
  double withinEight = 0;
};
PictureComparison ComparePictures(const Screenshot& shot, const ScreenRect& place, const std::vector<std::uint32_t>& frame);
inline double PictureSimilarity(const Screenshot& shot, const ScreenRect& place, const std::vector<std::uint32_t>& frame) {
  return ComparePictures(shot, place, frame).psnr;
}
