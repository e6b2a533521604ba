// The headless backend: no window, a virtual millisecond clock and a scripted input queue.
// The clock moves only when the program sleeps or presents a frame (or tries to, and fails), so
// a run is deterministic. It is the headless machine's sound device too: its offline output
// follows the same clock.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/backends/headless/offline_sound_output.h"
#include "platform/windows/backend.h"
#include "platform/backends/frame_report.h"

struct ScriptedMessage {
  std::int64_t at;  // on the script clock (see HeadlessBackend::scriptClock)
  UINT message;     // WM_KEYDOWN or WM_CLOSE
  WPARAM wParam;    // the virtual key for WM_KEYDOWN
};

struct RecordedBox {
  std::string text;
  std::string caption;
  bool owned;
};

class HeadlessBackend : public WindowsBackend, public SoundDevice {
 public:
  // The clock starts here and wraps at 2^32, as the real one does after 49.7 days.
  std::uint32_t clockStart = 0xFFFF0000u;
  // Each presented frame, and each that failed to be, moves the clock on by this many
  // microseconds (16667: 60 frames a second).
  std::uint32_t frameStepMicroseconds = 16667;
  // The size of the window's client area in windowed mode.
  int clientWidth = 512;
  int clientHeight = 384;
  // Messages to deliver, in order of their time; each is delivered once its time has come.
  std::vector<ScriptedMessage> script;
  // The clock the script's times are read on; by default milliseconds since the clock started.
  std::function<std::int64_t()> scriptClock;
  // Receives every presented picture with the clock reading at which it was presented.
  std::function<void(const FrameView&, std::uint32_t)> onPresent;
  // Echo message boxes to stderr (they are always recorded).
  bool printBoxes = true;
  // The music the offline sound output made, as much of it as is asked for.
  KeptSound music;

  std::vector<RecordedBox> boxes;
  std::string windowTitle;
  bool windowExists = false;
  bool windowPopup = false;
  bool cursorShown = true;
  std::uint64_t framesPresented = 0;
  // The presented frames on the virtual clock.
  FrameReport report;

  // Milliseconds since the clock started (not wrapped).
  std::uint64_t ElapsedMilliseconds() const { return elapsedMicroseconds_ / 1000; }

  bool CreateMainWindow(const char* title, int width, int height, bool popup) override;
  void DestroyMainWindow() override;
  void ClientArea(int* width, int* height) override;
  POINT ClientOrigin() override;
  void ShowCursor(bool shown) override;
  void PumpEvents() override;
  std::uint32_t Milliseconds() override;
  void Sleep(std::uint32_t milliseconds) override;
  void ShowBox(const char* text, const char* caption, bool owned) override;
  void Present(const FrameView& frame) override;
  void PresentFailed() override;
  SoundOutput* OpenSoundOutput(int rate, SoundSource* source) override;
  void CloseSoundOutput() override;

 private:
  int popupWidth_ = 0;  // the full-screen window's size, as the display it covers
  int popupHeight_ = 0;
  void AdvanceClock(std::uint64_t microseconds);

  std::uint64_t elapsedMicroseconds_ = 0;
  std::unique_ptr<OfflineSoundOutput> soundOutput_;
  std::size_t nextScripted_ = 0;
};
