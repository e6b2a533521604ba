// A private X server (Xvfb) for tests that run kaleth on a real display: with or without a
// window manager, real key presses through xdotool, and screenshots of the whole screen.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/run_program.h"

struct Screenshot {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, rows top to bottom
};

class XServerTest : public ::testing::Test {
 protected:
  void TearDown() override;

  // Starts Xvfb with one 24-bit screen of this size; the test fails when it cannot.
  void StartServer(int width = 1024, int height = 768);
  // Starts openbox and waits until it manages the screen.
  void StartWindowManager();

  // DISPLAY and the rest of what kaleth is started with.
  std::vector<std::string> Environment() const;
  // Waits for a visible window with exactly this title; gives its id or "".
  std::string FindWindow(const std::string& title);
  // Presses Escape in `window` until `program` has gone, as a user would on a busy machine.
  void PressEscapeUntilGone(const std::string& window, ChildProgram& program);
  // The same with another key, say Return in a message box.
  void PressKeyUntilGone(const std::string& window, const std::string& key, ChildProgram& program);
  // The screen now, through ImageMagick's import; also kept as NAME.png in the build folder for
  // a person to look at. False (with the reason added to the test) when it cannot be taken.
  bool TakeScreenshot(const std::string& name, Screenshot* shot);

  std::string display_;
  std::string xdotool_;

 private:
  std::unique_ptr<ChildProgram> server_;
  std::unique_ptr<ChildProgram> windowManager_;
};
