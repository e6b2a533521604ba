// kaleth on a real X server (Xvfb): where the full-screen picture lands, with a window manager
// and without one, and the frame report a windowed run prints at its end.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <regex>
#include <sstream>
#include <thread>

#include "tests/support/x_server.h"

namespace {

// A 16:9 screen that the 4:3 picture fills 2.34 times: 1200 x 900 in the middle, with bars of
// 200 columns on either side. The display's rows 52 to 331 hold the picture; the rest is black.
constexpr int kScreenWidth = 1600;
constexpr int kScreenHeight = 900;
constexpr int kPictureLeft = 200;
constexpr int kPictureRight = 1400;
constexpr int kCanvasTop = 52 * kScreenHeight / 384;
constexpr int kCanvasBottom = (332 * kScreenHeight + 383) / 384;
// Smoothing may spill a pixel or two over the picture's edges.
constexpr int kEdge = 2;

struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive; empty when equal
};

std::ostream& operator<<(std::ostream& out, const Box& box) {
  return out << "[" << box.left << ", " << box.right << ") x [" << box.top << ", " << box.bottom << ")";
}

// The smallest box around every pixel that is not black.
Box LitBox(const Screenshot& shot) {
  Box box{shot.width, shot.height, 0, 0};
  for (int y = 0; y < shot.height; ++y) {
    for (int x = 0; x < shot.width; ++x) {
      const std::uint32_t p = shot.pixels[static_cast<std::size_t>(y) * shot.width + x];
      if (((p >> 16) & 0xFF) <= 8 && ((p >> 8) & 0xFF) <= 8 && (p & 0xFF) <= 8) continue;
      box.left = std::min(box.left, x);
      box.top = std::min(box.top, y);
      box.right = std::max(box.right, x + 1);
      box.bottom = std::max(box.bottom, y + 1);
    }
  }
  if (box.right == 0) box = Box{};
  return box;
}

// Lit only inside the picture's place, and across most of it: a picture drawn for the screen's
// size into a window of another size is cut off or sits elsewhere.
bool FillsThePicturesPlace(const Box& box) {
  return box.left >= kPictureLeft - kEdge && box.right <= kPictureRight + kEdge && box.top >= kCanvasTop - kEdge &&
         box.bottom <= kCanvasBottom + kEdge && box.right - box.left >= (kPictureRight - kPictureLeft) * 9 / 10 &&
         box.bottom - box.top >= (kCanvasBottom - kCanvasTop) * 9 / 10;
}

class ScreenTest : public XServerTest {
 protected:
  void SetUp() override { StartServer(kScreenWidth, kScreenHeight); }

  void ExpectFullScreenPictureInPlace(const std::string& screenshotName) {
    ChildProgram kaleth({BuildPath("kaleth")}, Environment(), KALETH_BUILD_DIR);
    const std::string window = FindWindow("KALETH by Orvalis");
    ASSERT_FALSE(window.empty()) << "no full-screen window: " << kaleth.Wait(1).output;
    // The loading picture comes first and the scenes after it; any of them will do, once shown.
    Box box;
    for (int attempt = 0; attempt < 30; ++attempt) {
      Screenshot shot;
      if (!TakeScreenshot(screenshotName, &shot)) break;
      ASSERT_EQ(shot.width, kScreenWidth);
      box = LitBox(shot);
      if (FillsThePicturesPlace(box)) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    EXPECT_TRUE(FillsThePicturesPlace(box)) << "lit " << box << ", expected within ["
                                            << kPictureLeft << ", " << kPictureRight << ") x [" << kCanvasTop << ", "
                                            << kCanvasBottom << ")";
    PressEscapeUntilGone(window, kaleth);
    const ProgramResult result = kaleth.Wait(20);
    EXPECT_EQ(result.exitCode, 0) << result.output;
  }
};

TEST_F(ScreenTest, FullScreenWithoutAWindowManagerFillsTheScreenWithThePictureAndBars) {
  ExpectFullScreenPictureInPlace("screen-full-no-window-manager");
}

TEST_F(ScreenTest, FullScreenUnderAWindowManagerFillsTheScreenWithThePictureAndBars) {
  StartWindowManager();
  ExpectFullScreenPictureInPlace("screen-full-openbox");
}

TEST_F(ScreenTest, AWindowedRunEndsWithAFrameReportThatAgreesWithItself) {
  std::vector<std::string> environment = Environment();
  environment.push_back("KALETH_STATS=1");
  ChildProgram kaleth({BuildPath("kaleth"), "-window"}, environment, KALETH_BUILD_DIR);
  const std::string window = FindWindow("Tarn 2 : KALETH");
  ASSERT_FALSE(window.empty()) << kaleth.Wait(1).output;
  // The loading picture is grey; the scenes after it are not. Let them play a little.
  bool playing = false;
  for (int attempt = 0; attempt < 120 && !playing && kaleth.Running(); ++attempt) {
    Screenshot shot;
    if (!TakeScreenshot("screen-window", &shot)) break;
    playing = std::any_of(shot.pixels.begin(), shot.pixels.end(), [](std::uint32_t p) {
      const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
      return std::abs(r - g) > 16 || std::abs(g - b) > 16;
    });
    if (!playing) std::this_thread::sleep_for(std::chrono::milliseconds(500));
  }
  ASSERT_TRUE(playing) << "the scenes never came: " << kaleth.Wait(1).output;
  std::this_thread::sleep_for(std::chrono::seconds(2));
  PressEscapeUntilGone(window, kaleth);
  const ProgramResult result = kaleth.Wait(20);
  ASSERT_EQ(result.exitCode, 0) << result.output;

  const std::regex line(
      R"(frame report: (\d+) frames shown, ([\d.]+) s, ([\d.]+) frames/s; frame interval median ([\d.]+) ms, )"
      R"(95th ([\d.]+) ms, 99th ([\d.]+) ms, max ([\d.]+) ms; (\d+) later than ([\d.]+) ms; )"
      R"(CPU ([\d.]+) s in ([\d.]+) s \((\d+) % of one core\); (vsync at|paced to) (\d+) Hz\n)");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(result.output, m, line)) << result.output;
  auto number = [&](int i) { return std::stod(m[i].str()); };
  const double frames = number(1), seconds = number(2), rate = number(3);
  const double median = number(4), p95 = number(5), p99 = number(6), longest = number(7);
  const double late = number(8), lateLimit = number(9), cpu = number(10), wall = number(11), hz = number(14);
  // The loading picture stands alone; every frame after it ends one interval.
  const double intervals = frames - 2;
  ASSERT_GE(intervals, 2) << result.output;
  EXPECT_NEAR(rate * seconds, intervals, 0.05 * seconds + 0.005 * rate + 0.5) << result.output;
  EXPECT_LE(median, p95);
  EXPECT_LE(p95, p99);
  EXPECT_LE(p99, longest);
  EXPECT_LE(median * intervals / 2, seconds * 1000 + 1) << "half the intervals are at least the median";
  EXPECT_LE(late, intervals);
  EXPECT_EQ(late > 0, longest > lateLimit) << result.output;
  EXPECT_NEAR(lateLimit, 1.5 * 1000 / hz, 0.05);
  EXPECT_GT(cpu, 0);
  EXPECT_GE(wall, seconds);
}

}  // namespace
