// kaleth in a real X server (Xvfb): its window, a real key press, its exit.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/support/x_server.h"

namespace {

class WindowTest : public XServerTest {
 protected:
  void SetUp() override { StartServer(); }

  void PlayAndPressEscape(const std::vector<std::string>& arguments, const std::string& title) {
    std::vector<std::string> argv{BuildPath("kaleth")};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    ChildProgram kaleth(argv, Environment(), KALETH_BUILD_DIR);
    const std::string window = FindWindow(title);
    ASSERT_FALSE(window.empty()) << "no window titled \"" << title << "\": " << kaleth.Wait(1).output;
    PressEscapeUntilGone(window, kaleth);
    const ProgramResult result = kaleth.Wait(20);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.output.find("error window"), std::string::npos) << result.output;
  }
};

TEST_F(WindowTest, WindowedRunShowsItsTitleAndEndsOnEscape) { PlayAndPressEscape({"-window"}, "Tarn 2 : KALETH"); }

TEST_F(WindowTest, FullScreenRunShowsItsTitleAndEndsOnEscape) { PlayAndPressEscape({}, "KALETH by Orvalis"); }

// Every process running the kaleth executable, the box's own (SDL forks one to show a box) too.
std::vector<pid_t> KalethProcesses() {
  namespace fs = std::filesystem;
  const fs::path program = fs::canonical(BuildPath("kaleth"));
  std::vector<pid_t> found;
  std::error_code code;
  for (const auto& entry : fs::directory_iterator("/proc", code)) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::error_code unreadable;
    if (fs::read_symlink(entry.path() / "exe", unreadable) == program) found.push_back(std::stoi(name));
  }
  return found;
}

// Ended by SIGTERM while its fatal box is up, the program goes, and its box with it: nothing is
// left holding the box up and the program's output open until the X server goes.
TEST_F(WindowTest, TerminatedWhileItsFatalBoxIsUpNothingOfItStaysBehind) {
  std::vector<std::string> environment = Environment();
  environment.push_back("KALETH_FAULTS=DirectDrawCreate@1");
  ChildProgram kaleth({BuildPath("kaleth"), "-window"}, environment, KALETH_BUILD_DIR);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (kaleth.OutputSoFar().find("error window") == std::string::npos && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ASSERT_NE(kaleth.OutputSoFar().find("error window"), std::string::npos) << kaleth.OutputSoFar();
  std::this_thread::sleep_for(std::chrono::seconds(1));  // the box comes up
  const std::vector<pid_t> running = KalethProcesses();
  ASSERT_FALSE(running.empty());
  // The program alone is sent the signal, as a person's kill would: not the box's process.
  for (pid_t pid : running) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string skip, state;
    pid_t parent = 0;
    stat >> skip >> skip >> state >> parent;
    if (std::find(running.begin(), running.end(), parent) == running.end()) kill(pid, SIGTERM);
  }
  std::vector<pid_t> left = KalethProcesses();
  for (int i = 0; i < 100 && !left.empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    left = KalethProcesses();
  }
  EXPECT_TRUE(left.empty()) << left.size() << " process(es) of the program stayed";
  for (pid_t pid : left) kill(pid, SIGKILL);
  kaleth.Wait(5);
}

}  // namespace
