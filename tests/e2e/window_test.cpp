// kaleth in a real X server (Xvfb): its window, a real key press, its exit.
#include <gtest/gtest.h>

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

}  // namespace
