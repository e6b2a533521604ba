// kaleth in a real X server (Xvfb): its window, a real key press, its exit.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>

#include "tests/support/run_program.h"

namespace {

std::string Which(const std::string& program) {
  for (const char* dir : {"/usr/bin", "/usr/local/bin", "/bin"}) {
    const std::string path = std::string(dir) + "/" + program;
    if (access(path.c_str(), X_OK) == 0) return path;
  }
  return "";
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string xvfb = Which("Xvfb");
    xdotool_ = Which("xdotool");
    ASSERT_FALSE(xvfb.empty()) << "Xvfb is missing: scripts/install-deps.sh installs it";
    ASSERT_FALSE(xdotool_.empty()) << "xdotool is missing: scripts/install-deps.sh installs it";
    // Xvfb picks a free display itself and says which (-displayfd), so tests never meet. Without
    // -noreset it starts over whenever its last client leaves, and SDL, which looks at the display
    // once before opening it for good, can land in that gap and fall back to no display at all.
    server_ = std::make_unique<ChildProgram>(std::vector<std::string>{xvfb, "-displayfd", "1", "-noreset", "-screen", "0",
                                                                      "1024x768x24", "-nolisten", "tcp"});
    for (int i = 0; i < 400 && display_.empty() && server_->Running(); ++i) {
      // Its warnings share the output; the display number is a line of digits alone.
      std::istringstream said(server_->OutputSoFar());
      for (std::string line; std::getline(said, line) && !said.eof();) {
        if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos) display_ = ":" + line;
      }
      if (display_.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_FALSE(display_.empty()) << "Xvfb did not start: " << server_->OutputSoFar();
  }

  void TearDown() override { server_.reset(); }

  std::vector<std::string> Environment() const {
    // The leak checker would report the X libraries' own caches; this test is about the window.
    return {"DISPLAY=" + display_, "ASAN_OPTIONS=detect_leaks=0", "SDL_AUDIODRIVER=dummy"};
  }

  // Waits for a window with exactly this title; gives its id or "".
  std::string FindWindow(const std::string& title) {
    for (int i = 0; i < 600; ++i) {
      ProgramResult found =
          RunProgram({xdotool_, "search", "--onlyvisible", "--name", "^" + title + "$"}, Environment(), "", 10);
      if (found.exitCode == 0 && !found.output.empty()) return found.output.substr(0, found.output.find('\n'));
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return "";
  }

  void PlayAndPressEscape(const std::vector<std::string>& arguments, const std::string& title) {
    std::vector<std::string> argv{BuildPath("kaleth")};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    ChildProgram kaleth(argv, Environment(), KALETH_BUILD_DIR);
    const std::string window = FindWindow(title);
    ASSERT_FALSE(window.empty()) << "no window titled \"" << title << "\": " << kaleth.Wait(1).output;
    // A real key press goes to the focused window; on a loaded machine focus can come late, so
    // press again until the program has gone (a second Escape is harmless).
    for (int attempt = 0; attempt < 20 && kaleth.Running(); ++attempt) {
      RunProgram({xdotool_, "windowfocus", "--sync", window}, Environment(), "", 10);
      RunProgram({xdotool_, "key", "Escape"}, Environment(), "", 10);
      for (int i = 0; i < 20 && kaleth.Running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const ProgramResult result = kaleth.Wait(20);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.output.find("error window"), std::string::npos) << result.output;
  }

  std::string display_;
  std::string xdotool_;
  std::unique_ptr<ChildProgram> server_;
};

TEST_F(WindowTest, WindowedRunShowsItsTitleAndEndsOnEscape) { PlayAndPressEscape({"-window"}, "Tarn 2 : KALETH"); }

TEST_F(WindowTest, FullScreenRunShowsItsTitleAndEndsOnEscape) { PlayAndPressEscape({}, "KALETH by Orvalis"); }

}  // namespace
