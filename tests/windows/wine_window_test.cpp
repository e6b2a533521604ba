// kaleth.exe under Wine on an X server with a window manager: windowed and full-screen it shows
// the loading picture pixel for pixel and then the scenes the timeline says, takes F1 and Escape,
// presents at the display's rate, and finds its package beside itself from any folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <regex>
#include <thread>

#include "tests/windows/wine_test.h"

namespace fs = std::filesystem;

namespace {

constexpr int kScreenWidth = 1024, kScreenHeight = 768;

class WineWindowTest : public WineTest {
 protected:
  // The Linux capture's frames for the first seconds, and the loading picture.
  static void SetUpTestSuite() {
    frames_ = new fs::path(FreshDir("wine-reference"));
    const ProgramResult run = RunProgram(
        {BuildPath("kaleth-capture"), "--out", frames_->string(), "--fps", "60", "--end", "9000", "--quiet"}, {},
        KALETH_BUILD_DIR, 120);
    ASSERT_EQ(run.exitCode, 0) << run.output;
  }
  static void TearDownTestSuite() {
    fs::remove_all(*frames_);
    delete frames_;
  }

  // Plays kaleth.exe with `arguments` from `cwd`: the loading picture fills the window's inside
  // (pixel for pixel when `exact`), a screenshot in the scenes matches the Linux frame of about
  // the same time, F1 and then Escape end the run with 0, and its frame report says it presented
  // at the display's rate. The screenshots are judged once the run is over, so that judging
  // them takes nothing from the run.
  void PlayAndCompare(const std::vector<std::string>& arguments, const std::string& title, bool exact,
                      const std::string& renderer) {
    ChildProgram kaleth(UnderWine(WindowsPath("kaleth.exe"), arguments),
                        WineEnvironment({"KALETH_STATS=1", "SDL_RENDER_DRIVER=" + renderer}), WindowsPath("").string());
    // Xvfb has no retrace, and Wine's Direct3D under it says it waits for one that never comes,
    // so the rate is judged with SDL's software renderer, which leaves the pacing to the program.
    // That one draws into the window's own pixels, which Wine blanks when the window manager
    // first shows the window, so the loading picture, presented once, is judged with Direct3D.
    const bool software = renderer == "software";
    const std::string window = FindWindow(title);
    ASSERT_FALSE(window.empty()) << "no window titled \"" << title << "\": " << kaleth.Wait(1).output;
    const auto shown = std::chrono::steady_clock::now();
    const ScreenRect inside = Inside(window);
    const std::string name = "wine-" + std::string(exact ? "full" : "window");
    // The loading picture stands for two seconds once the window is up, after a blank moment:
    // judged at once, which takes a few milliseconds a screenshot.
    const std::vector<std::uint32_t> loadingFrame = ReadFrame(CapturedFrames(*frames_).front());
    // A window's inside is not a whole multiple of the picture, so there it is alike, not equal
    // (black scores 12 dB).
    const double wanted = exact ? 99 : 22;
    double loading = 0;
    for (int attempt = 0; attempt < 12 && loading < wanted && !software; ++attempt) {
      Screenshot shot;
      if (!TakeScreenshot(name + "-loading", &shot)) break;
      loading = std::max(loading, PictureSimilarity(shot, inside, loadingFrame));
    }
    std::this_thread::sleep_until(shown + std::chrono::seconds(7));
    Screenshot scene;
    ASSERT_TRUE(TakeScreenshot(name + "-scene", &scene));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - shown).count();
    RunProgram({xdotool_, "windowfocus", "--sync", window}, Environment(), "", 10);
    RunProgram({xdotool_, "key", "F1"}, Environment(), "", 10);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(kaleth.Running()) << "F1 ended the run: " << kaleth.OutputSoFar();
    PressEscapeUntilGone(window, kaleth);
    const ProgramResult result = kaleth.Wait(30);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    const std::regex report(R"(frame report: \d+ frames shown, [\d.]+ s, ([\d.]+) frames/s; .*(vsync at|paced to) (\d+) Hz)");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(result.output, m, report)) << result.output;
    std::printf("%s: %s\n", title.c_str(), m[0].str().c_str());
    if (software) {
      EXPECT_NEAR(std::stod(m[1].str()), std::stod(m[3].str()), 0.1 * std::stod(m[3].str())) << m[0].str();
    }

    const std::vector<fs::path> frames = CapturedFrames(*frames_);
    ASSERT_GT(frames.size(), 300u);
    std::printf("%s: inside %dx%d at %d,%d; the loading picture at %.1f dB\n", title.c_str(), inside.width,
                inside.height, inside.left, inside.top, loading);
    if (!software) {
      EXPECT_GE(loading, wanted) << "the loading picture was never on the screen" << (exact ? " pixel for pixel" : "");
    }
    // The Linux frame most like the scene: very like it, and of a moment the run can have been
    // at (no later than the wall clock allows, and not far behind it).
    double best = 0;
    int bestTime = -1;
    for (const fs::path& frame : frames) {
      const int time = FrameTime(frame);
      if (time < 0) continue;
      const double similarity = PictureSimilarity(scene, inside, ReadFrame(frame));
      if (similarity > best) {
        best = similarity;
        bestTime = time;
      }
    }
    const double latest = (seconds - 2) * 1000;
    std::printf("%s: the scene %.1f s after the window came is most like the frame at %d ms (%.1f dB)\n",
                title.c_str(), seconds, bestTime, best);
    // The mesh turns between two frames a sixtieth of a second apart: alike, not equal, and far
    // more alike than black is.
    const double black = PictureSimilarity(scene, inside, std::vector<std::uint32_t>(512 * 384, 0));
    EXPECT_GE(best, exact ? 25 : 20) << "the scene on the screen is like none of the Linux frames";
    EXPECT_GE(best - black, 10) << "the screen is nearly black";
    EXPECT_LE(bestTime, latest + 100) << "the screen is ahead of the clock";
    EXPECT_GE(bestTime, latest - 5000) << "the screen shows an earlier moment of the production";
  }

  static fs::path* frames_;
};

fs::path* WineWindowTest::frames_ = nullptr;

TEST_F(WineWindowTest, WindowedShowsTheProductionAsOnLinuxAndEndsOnEscape) {
  PlayAndCompare({"-window"}, "Tarn 2 : KALETH", false, "direct3d");
}

TEST_F(WineWindowTest, WindowedPresentsAtTheDisplaysRate) {
  PlayAndCompare({"-window"}, "Tarn 2 : KALETH", false, "software");
}

TEST_F(WineWindowTest, FullScreenFillsTheScreenTwiceEnlargedAndEndsOnEscape) {
  PlayAndCompare({}, "KALETH by Orvalis", true, "direct3d");
}

// A copy in a folder whose name is not ASCII, started from another folder, finds the package
// beside itself; a copy without one shows the system's own box and ends with 0.
TEST_F(WineWindowTest, FindsItsPackageBesideItselfInAnyFolderAndSaysSoWhenThereIsNone) {
  const fs::path base = FreshDir("wine-folders");
  const fs::path beside = base / u8"Démo ünï ✓";
  const fs::path lonely = base / "lonely";
  const fs::path elsewhere = base / "elsewhere";
  for (const fs::path& folder : {beside, lonely, elsewhere}) fs::create_directories(folder);
  for (const fs::path& folder : {beside, lonely}) fs::copy_file(WindowsPath("kaleth.exe"), folder / "kaleth.exe");
  fs::copy_file(WindowsPath("kaleth.pak"), beside / "kaleth.pak");

  {
    ChildProgram kaleth(UnderWine(beside / "kaleth.exe", {"-window"}), WineEnvironment(), elsewhere.string());
    const std::string window = FindWindow("Tarn 2 : KALETH");
    ASSERT_FALSE(window.empty()) << kaleth.Wait(1).output;
    std::this_thread::sleep_for(std::chrono::seconds(3));
    ASSERT_TRUE(kaleth.Running()) << kaleth.OutputSoFar();
    PressEscapeUntilGone(window, kaleth);
    const ProgramResult result = kaleth.Wait(30);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.output.find("kaleth.pak is in none"), std::string::npos) << result.output;
  }
  {
    ChildProgram kaleth(UnderWine(lonely / "kaleth.exe", {"-window"}), WineEnvironment(), elsewhere.string());
    const std::string box = FindWindow("\\[- Tarn 2.0 error window -\\]");
    ASSERT_FALSE(box.empty()) << "no box: " << kaleth.Wait(1).output;
    EXPECT_NE(kaleth.OutputSoFar().find("[[- Tarn 2.0 error window -]] Unable to open datafile"), std::string::npos)
        << kaleth.OutputSoFar();
    Screenshot shot;
    TakeScreenshot("wine-no-package-box", &shot);
    PressKeyUntilGone(box, "Return", kaleth);
    const ProgramResult result = kaleth.Wait(30);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find("kaleth.pak is in none of the folders searched"), std::string::npos) << result.output;
  }
  fs::remove_all(base);
}

}  // namespace
