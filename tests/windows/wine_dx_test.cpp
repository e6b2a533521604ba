// kaleth-dx.exe under Wine, on Wine's own DirectDraw and Direct3D (OpenGL on Mesa's llvmpipe)
// in a virtual desktop of Wine's, which test-windows.sh gives kaleth-dx.exe so that it may set
// 512 x 384: full-screen the loading picture is our capture's pixel for pixel and the 3D slots
// are very like ours, each screenshot in the slot the clock says; windowed it plays as well; F1
// and Escape work, the sound keeps time, and without its package the system's own box is shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <regex>
#include <thread>

#include "runtime/session.h"
#include "tests/windows/wine_test.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// Slot 9, the last 3D slot, ends at 82 s.
constexpr int kRunUntilMs = 83000;
constexpr const char* kDesktop = "kaleth - Wine desktop";
constexpr const char* kFullScreenTitle = "KALETH by Orvalis";
constexpr const char* kWindowedTitle = "Tarn 2 : KALETH";

bool IsD3DSlot(int slot) { return slot == 0 || slot == 2 || slot == 4 || slot == 5 || slot == 7 || slot == 9; }

// A screenshot of the run, and the timeline time it was taken at as the clock says.
struct Moment {
  double timelineMs = 0;
  Screenshot shot;
  ScreenRect inside;
  // The capture frame most like it, among those near its time.
  PictureComparison best;
  int bestTime = -1;
  int bestSlot = -1;
};

class WineDxTest : public WineTest {
 protected:
  // Our capture of the same span, a frame every sixtieth of a second.
  static void SetUpTestSuite() {
    frames_ = new fs::path(FreshDir("wine-dx-reference"));
    const ProgramResult run = RunProgram({BuildPath("kaleth-capture"), "--out", frames_->string(), "--fps", "60",
                                          "--end", std::to_string(kRunUntilMs), "--quiet"},
                                         {}, KALETH_BUILD_DIR, 300);
    ASSERT_EQ(run.exitCode, 0) << run.output;
  }
  static void TearDownTestSuite() {
    fs::remove_all(*frames_);
    delete frames_;
  }

  ChildProgram Start(const std::vector<std::string>& arguments, const std::vector<std::string>& environment = {},
                     const fs::path& program = WindowsPath("kaleth-dx.exe")) {
    return ChildProgram(UnderWine(program.filename(), arguments), WineEnvironment(environment),
                        program.parent_path().string());
  }

  // F1 leaves the run going, Escape ends it with 0; gives what it wrote.
  std::string PressF1ThenEscape(const std::string& window, ChildProgram& dx) {
    RunProgram({xdotool_, "windowfocus", "--sync", window}, Environment(), "", 10);
    RunProgram({xdotool_, "key", "F1"}, Environment(), "", 10);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_TRUE(dx.Running()) << "F1 ended the run: " << dx.OutputSoFar();
    PressEscapeUntilGone(window, dx);
    const ProgramResult result = dx.Wait(30);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    return result.output;
  }

  // Finds for every moment the capture frame most like it from `behindMs` before its time to
  // `aheadMs` after, reading each frame once.
  static void MatchWithCapture(std::vector<Moment>& moments, double behindMs, double aheadMs) {
    SlotReplay replay;
    for (const fs::path& path : CapturedFrames(*frames_)) {
      const int time = FrameTime(path);
      if (time < 0) continue;
      const int slot = replay.Next(time).slot;
      std::vector<std::uint32_t> frame;
      for (Moment& moment : moments) {
        if (time < moment.timelineMs - behindMs || time > moment.timelineMs + aheadMs) continue;
        if (frame.empty()) frame = ReadFrame(path);
        const PictureComparison seen = ComparePictures(moment.shot, moment.inside, frame);
        if (seen.psnr > moment.best.psnr) {
          moment.best = seen;
          moment.bestTime = time;
          moment.bestSlot = slot;
        }
      }
    }
  }

  static fs::path* frames_;
};

fs::path* WineDxTest::frames_ = nullptr;

// The slot the timeline is in at `timelineMs`, from the schedule's nominal starts.
int SlotAt(double timelineMs) {
  int slot = 0;
  for (int i = 0; i < static_cast<int>(kSlotCount); ++i) {
    if (timelineMs >= Schedule()[i].startMs) slot = i;
  }
  return slot;
}

double NearestSlotChange(double timelineMs) {
  double nearest = 1e9;
  for (const ScheduledSlot& slot : Schedule()) nearest = std::min(nearest, std::abs(timelineMs - slot.startMs));
  return nearest;
}

TEST_F(WineDxTest, FullScreenShowsOurLoadingPictureExactlyAndOur3DSlotsInTheirTime) {
  ChildProgram dx = Start({}, {"KALETH_STATS=1"});
  const std::string desktop = FindWindow(kDesktop);
  ASSERT_FALSE(desktop.empty()) << "no virtual desktop: " << dx.Wait(1).output;
  const std::string window = FindWindow(kFullScreenTitle);
  ASSERT_FALSE(window.empty()) << "no window titled \"" << kFullScreenTitle << "\": " << dx.Wait(1).output;

  // The loading picture stands for two seconds; slot 0 begins between the last screenshot that
  // shows it and the first that does not.
  const std::vector<fs::path> frames = CapturedFrames(*frames_);
  ASSERT_GT(frames.size(), 4000u);
  const std::vector<std::uint32_t> loadingFrame = ReadFrame(frames.front());
  double loadingBest = 0;
  Clock::time_point lastLoading{}, firstAfter{};
  ScreenRect inside;
  for (const auto until = Clock::now() + std::chrono::seconds(30); Clock::now() < until;) {
    Screenshot shot;
    const Clock::time_point before = Clock::now();
    ASSERT_TRUE(TakeScreenshot("wine-dx-loading", &shot));
    const Clock::time_point taken = before + (Clock::now() - before) / 2;
    inside = Inside(desktop);
    const double seen = PictureSimilarity(shot, inside, loadingFrame);
    loadingBest = std::max(loadingBest, seen);
    if (seen >= 99) {
      lastLoading = taken;
    } else if (lastLoading != Clock::time_point{}) {
      firstAfter = taken;
      break;
    }
  }
  ASSERT_EQ(loadingBest, 99) << "the loading picture was never on the screen pixel for pixel";
  ASSERT_NE(firstAfter, Clock::time_point{}) << "the loading picture never gave way";
  const Clock::time_point slot0 = lastLoading + (firstAfter - lastLoading) / 2;
  const double uncertainMs = std::chrono::duration<double, std::milli>(firstAfter - lastLoading).count() / 2;
  EXPECT_EQ(inside.width, 512) << "the display is 512 x 384";
  EXPECT_EQ(inside.height, 384);

  std::vector<Moment> moments;
  for (auto next = slot0 + std::chrono::milliseconds(700); next < slot0 + std::chrono::milliseconds(kRunUntilMs - 500);
       next += std::chrono::milliseconds(1400)) {
    std::this_thread::sleep_until(next);
    Moment moment;
    const Clock::time_point before = Clock::now();
    ASSERT_TRUE(TakeScreenshot("wine-dx-scene", &moment.shot));
    moment.timelineMs = std::chrono::duration<double, std::milli>(before + (Clock::now() - before) / 2 - slot0).count();
    // The window manager may move the desktop's window once its size has changed.
    moment.inside = Inside(desktop);
    moments.push_back(std::move(moment));
  }
  const std::string output = PressF1ThenEscape(window, dx);

  // The sound: the buffers are made before the device needs them, and it plays them about as fast
  // as the clock runs. On a machine whose processors the drawing fills, Wine's own sound thread
  // falls behind now and then, which slows the device down although no buffer was missing.
  std::smatch m;
  const std::regex sound(R"(sound: (\d+) buffers of \d+ frames played in ([\d.]+) s, ([\d.]+) times real time, ran dry (\d+) times)");
  ASSERT_TRUE(std::regex_search(output, m, sound)) << output;
  std::printf("kaleth-dx full-screen: %s\n", m[0].str().c_str());
  EXPECT_GT(std::stod(m[2].str()), 75) << "the sound played for the whole run";
  EXPECT_NEAR(std::stod(m[3].str()), 1.0, 0.15) << m[0].str();
  EXPECT_LE(std::stoi(m[4].str()), std::stoi(m[1].str()) / 100) << m[0].str();

  // Each screenshot against the capture's frames of nearly its time. The first frame of slot 0
  // comes late (the textures go to the card, its shaders are made), so the loading picture stands
  // a little into slot 0 and the clock's times run behind the screen's by as much (0.3 to 1.3 s
  // here): that lag is the middle one of the best matches'.
  MatchWithCapture(moments, uncertainMs + 500, uncertainMs + 2500);
  std::vector<double> lags;
  for (const Moment& moment : moments) lags.push_back(moment.bestTime - moment.timelineMs);
  std::nth_element(lags.begin(), lags.begin() + lags.size() / 2, lags.end());
  const double lag = lags[lags.size() / 2];
  std::printf("kaleth-dx full-screen: slot 0 began %.0f ms before the loading picture gave way\n", lag);
  EXPECT_GT(lag, -500);
  EXPECT_LT(lag, 2500);
  std::map<int, std::vector<const Moment*>> bySlot;
  for (const Moment& moment : moments) {
    std::printf("  at %6.0f ms: frame %5d ms of slot %2d, %.1f dB, %.1f %% within 8\n", moment.timelineMs + lag,
                moment.bestTime, moment.bestSlot, moment.best.psnr, 100 * moment.best.withinEight);
    // Near a change of slot the clock cannot tell which one the screen shows.
    if (NearestSlotChange(moment.timelineMs + lag) < uncertainMs + 300) continue;
    EXPECT_EQ(moment.bestSlot, SlotAt(moment.timelineMs + lag)) << "the screen at " << moment.timelineMs + lag << " ms";
    bySlot[moment.bestSlot].push_back(&moment);
  }
  // The screen's frames come at times of their own, between the capture's sixtieths of a second,
  // and its beat flags flip when a note is heard, some buffers after ours flip: so a 3D slot is
  // judged by its screenshot nearest to one of our frames, which from run to run is 25 to 99 dB
  // in slots 0, 2 and 4. The twisting bar of slots 5, 7 and 9 has its texture at about a texel
  // a pixel, where llvmpipe chooses between the linear and the nearest filter otherwise than
  // ours, so those reach 20 to 37 dB. Black against the scenes is 10 to 13 dB.
  for (int slot = 0; slot < static_cast<int>(kSlotCount); ++slot) {
    if (bySlot[slot].empty()) {
      EXPECT_FALSE(IsD3DSlot(slot)) << "no screenshot of 3D slot " << slot;
      continue;
    }
    double best = 0, worst = 99, worstShare = 1, sum = 0;
    for (const Moment* moment : bySlot[slot]) {
      best = std::max(best, moment->best.psnr);
      worst = std::min(worst, moment->best.psnr);
      worstShare = std::min(worstShare, moment->best.withinEight);
      sum += moment->best.psnr;
    }
    std::printf("slot %2d%s: %2zu screenshots, %.1f dB at best, %.1f on average, %.1f at worst; at least %.1f %% within 8\n",
                slot, IsD3DSlot(slot) ? " (3D)" : "     ", bySlot[slot].size(), best, sum / bySlot[slot].size(), worst,
                100 * worstShare);
    if (IsD3DSlot(slot)) EXPECT_GE(best, 18) << "3D slot " << slot << " is unlike our frames";
  }
}

TEST_F(WineDxTest, WindowedPlaysInItsWindowAndEndsOnEscape) {
  ChildProgram dx = Start({"-window"});
  const std::string window = FindWindow(kWindowedTitle);
  ASSERT_FALSE(window.empty()) << "no window titled \"" << kWindowedTitle << "\": " << dx.Wait(1).output;
  const Clock::time_point shown = Clock::now();
  // Inside the virtual desktop Wine draws the window's frame itself, so the X window is the whole
  // window; its inside is where the loading picture, stretched to fill it, is most alike.
  const ScreenRect outer = Inside(window);
  const std::vector<fs::path> frames = CapturedFrames(*frames_);
  const std::vector<std::uint32_t> loadingFrame = ReadFrame(frames.front());
  double loading = 0;
  ScreenRect inside = outer;
  for (int attempt = 0; attempt < 12 && loading < 22; ++attempt) {
    Screenshot shot;
    ASSERT_TRUE(TakeScreenshot("wine-dx-window-loading", &shot));
    for (int side = 0; side <= 4; ++side) {
      for (int top = side; top <= 30; ++top) {
        const ScreenRect place{outer.left + side, outer.top + top, outer.width - 2 * side, outer.height - top - side};
        const double seen = PictureSimilarity(shot, place, loadingFrame);
        if (seen > loading) {
          loading = seen;
          inside = place;
        }
      }
    }
  }
  std::this_thread::sleep_until(shown + std::chrono::seconds(7));
  Moment scene;
  ASSERT_TRUE(TakeScreenshot("wine-dx-window-scene", &scene.shot));
  const double seconds = std::chrono::duration<double>(Clock::now() - shown).count();
  scene.inside = inside;
  PressF1ThenEscape(window, dx);

  std::printf("kaleth-dx windowed: inside %dx%d at %d,%d; the loading picture at %.1f dB\n", inside.width,
              inside.height, inside.left, inside.top, loading);
  EXPECT_GE(loading, 22) << "the loading picture was never in the window";
  // Slot 0 began about two seconds after the window came, once the loading picture had stood.
  scene.timelineMs = (seconds - 2) * 1000;
  std::vector<Moment> moments{std::move(scene)};
  MatchWithCapture(moments, 3000, 3000);
  std::printf("kaleth-dx windowed: the scene %.1f s in is most like the frame at %d ms (%.1f dB)\n", seconds,
              moments[0].bestTime, moments[0].best.psnr);
  EXPECT_GE(moments[0].best.psnr, 20) << "the window shows none of our frames of that time";
  EXPECT_EQ(moments[0].bestSlot, 0);
}

// Without kaleth.pak beside it, the run ends in the system's box, whose text Wine's own message
// box reports as it fills it in; Return closes it and the run ends with 0.
TEST_F(WineDxTest, WithoutItsPackageShowsTheSystemsBoxAndEndsWithZero) {
  const fs::path lonely = FreshDir("wine-dx-lonely");
  fs::create_directories(lonely);
  fs::copy_file(WindowsPath("kaleth-dx.exe"), lonely / "kaleth-dx.exe");
  ChildProgram dx = Start({"-window"}, {"WINEDEBUG=trace+msgbox"}, lonely / "kaleth-dx.exe");
  const std::string box = FindWindow("\\[- Tarn 2.0 error window -\\]");
  ASSERT_FALSE(box.empty()) << "no box: " << dx.Wait(1).output;
  for (int i = 0; i < 50 && dx.OutputSoFar().find("MSGBOX_OnInit") == std::string::npos; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_NE(dx.OutputSoFar().find("MSGBOX_OnInit L\"Unable to open datafile\""), std::string::npos) << dx.OutputSoFar();
  Screenshot shot;
  TakeScreenshot("wine-dx-no-package-box", &shot);
  PressKeyUntilGone(box, "Return", dx);
  const ProgramResult result = dx.Wait(30);
  EXPECT_EQ(result.exitCode, 0) << result.output;
  fs::remove_all(lonely);
}

}  // namespace
