#include "tests/support/x_server.h"

#include <unistd.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "tools/common/png_reader.h"

namespace {

std::string Which(const std::string& program) {
  for (const char* dir : {"/usr/bin", "/usr/local/bin", "/bin"}) {
    const std::string path = std::string(dir) + "/" + program;
    if (access(path.c_str(), X_OK) == 0) return path;
  }
  return "";
}

void Pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

}  // namespace

void XServerTest::TearDown() {
  windowManager_.reset();
  server_.reset();
}

void XServerTest::StartServer(int width, int height) {
  const std::string xvfb = Which("Xvfb");
  xdotool_ = Which("xdotool");
  ASSERT_FALSE(xvfb.empty()) << "Xvfb is missing: scripts/install-deps.sh installs it";
  ASSERT_FALSE(xdotool_.empty()) << "xdotool is missing: scripts/install-deps.sh installs it";
  // Xvfb picks a free display itself and says which (-displayfd), so tests never meet. Without
  // -noreset it starts over whenever its last client leaves, and SDL, which looks at the display
  // once before opening it for good, can land in that gap and fall back to no display at all.
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  server_ = std::make_unique<ChildProgram>(
      std::vector<std::string>{xvfb, "-displayfd", "1", "-noreset", "-screen", "0", screen, "-nolisten", "tcp"});
  for (int i = 0; i < 400 && display_.empty() && server_->Running(); ++i) {
    // Its warnings share the output; the display number is a line of digits alone.
    std::istringstream said(server_->OutputSoFar());
    for (std::string line; std::getline(said, line) && !said.eof();) {
      if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos) display_ = ":" + line;
    }
    if (display_.empty()) Pause(50);
  }
  ASSERT_FALSE(display_.empty()) << "Xvfb did not start: " << server_->OutputSoFar();
}

void XServerTest::StartWindowManager() {
  const std::string openbox = Which("openbox");
  ASSERT_FALSE(openbox.empty()) << "openbox is missing: scripts/install-deps.sh installs it";
  windowManager_ = std::make_unique<ChildProgram>(std::vector<std::string>{openbox, "--sm-disable"}, Environment());
  // A window manager that follows the common hints answers for the desktops; before it runs
  // nobody does.
  for (int i = 0; i < 200; ++i) {
    if (RunProgram({xdotool_, "get_num_desktops"}, Environment(), "", 10).exitCode == 0) return;
    ASSERT_TRUE(windowManager_->Running()) << "openbox ended: " << windowManager_->OutputSoFar();
    Pause(50);
  }
  FAIL() << "openbox did not take the screen: " << windowManager_->OutputSoFar();
}

std::vector<std::string> XServerTest::Environment() const {
  // The leak checker would report the X libraries' own caches; these tests are about the screen.
  return {"DISPLAY=" + display_, "ASAN_OPTIONS=detect_leaks=0", "SDL_AUDIODRIVER=dummy"};
}

std::string XServerTest::FindWindow(const std::string& title) {
  for (int i = 0; i < 600; ++i) {
    ProgramResult found =
        RunProgram({xdotool_, "search", "--onlyvisible", "--name", "^" + title + "$"}, Environment(), "", 10);
    if (found.exitCode == 0 && !found.output.empty()) return found.output.substr(0, found.output.find('\n'));
    Pause(100);
  }
  return "";
}

void XServerTest::PressEscapeUntilGone(const std::string& window, ChildProgram& program) {
  PressKeyUntilGone(window, "Escape", program);
}

void XServerTest::PressKeyUntilGone(const std::string& window, const std::string& key, ChildProgram& program) {
  // A real key press goes to the focused window; on a loaded machine focus can come late, so
  // press again until the program has gone (a second press is harmless).
  for (int attempt = 0; attempt < 20 && program.Running(); ++attempt) {
    RunProgram({xdotool_, "windowfocus", "--sync", window}, Environment(), "", 10);
    RunProgram({xdotool_, "key", key}, Environment(), "", 10);
    for (int i = 0; i < 20 && program.Running(); ++i) Pause(50);
  }
}

bool XServerTest::TakeScreenshot(const std::string& name, Screenshot* shot) {
  const std::string import = Which("import");
  if (import.empty()) {
    ADD_FAILURE() << "ImageMagick's import is missing: scripts/install-deps.sh installs it";
    return false;
  }
  const std::string path = BuildPath(name + ".png");
  const ProgramResult taken = RunProgram({import, "-window", "root", path}, Environment(), "", 60);
  std::string error;
  if (taken.exitCode != 0 || !ReadPng(path, &shot->pixels, &shot->width, &shot->height, &error)) {
    ADD_FAILURE() << "no screenshot: " << taken.output << error;
    return false;
  }
  return true;
}
