// The whole production, in-process on the virtual clock, draws the same bytes at every thread
// count of the worker pool, at each display depth: every frame of a run at 2, 3, 4 and 8 threads
// equals the frame the run on one thread showed at that time.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "runtime/session.h"
#include "music/beat_flags.h"
#include "runtime/entry.h"
#include "runtime/timeline.h"
#include "tests/support/headless.h"
#include "tests/support/worker_threads.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
struct KeptUntilExit {
  KeptUntilExit() { __lsan_disable(); }
  ~KeptUntilExit() { __lsan_enable(); }
};
#else
struct KeptUntilExit {
  KeptUntilExit() {}  // nothing to keep out without the leak checker
};
#endif

class ThreadCountRunTest : public HeadlessTest {
 protected:
  struct Frame {
    std::uint32_t at;    // timeline milliseconds
    std::uint64_t hash;  // of the visible bytes of every row
    bool operator==(const Frame&) const = default;
  };

  // Plays to the end scroller's first seconds with a frame every `stepMs` of timeline time.
  std::vector<Frame> Play(int threads, DWORD depth, std::uint32_t stepMs) {
    ScopedWorkerThreads pool(threads);
    DirectDrawSettings() = DirectDrawSettingsData{};
    std::erase_if(DirectDrawSettings().modeDepths, [depth](DWORD offered) { return offered > depth; });
    DirectDrawSettings().desktopDepth = depth;
    // A backend of its own for each run: its clock and script start afresh.
    HeadlessBackend run;
    run.printBoxes = false;
    run.frameStepMicroseconds = stepMs * 1000u;
    run.scriptClock = [&run] {
      return WhereIs(run.Milliseconds()).timelineMs;
    };
    run.script.push_back(ScriptedMessage{130000, WM_KEYDOWN, VK_ESCAPE});
    std::vector<Frame> frames;
    run.onPresent = [&frames](const FrameView& frame, std::uint32_t now) {
      if (!Playing) return;
      std::uint64_t hash = 1469598103934665603ull;
      const int rowBytes = frame.width * frame.bitsPerPixel / 8;
      for (int y = 0; y < frame.height; ++y) {
        const std::uint8_t* row = frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch;
        for (int x = 0; x < rowBytes; ++x) hash = (hash ^ row[x]) * 1099511628211ull;
      }
      frames.push_back(Frame{static_cast<std::uint32_t>(WhereIs(now).timelineMs), hash});
      if (frames.size() > 1000) PostBackendMessage(WM_CLOSE, 0);  // the escape went missing
    };
    {
      // The production keeps some of its pictures until the process ends, as it was written to;
      // the next run in this process drops the pointers, which the leak checker would report.
      KeptUntilExit kept;
      // A session of its own for each run, as a new process would play it.
      EXPECT_EQ(Session(run, run).Play(""), 0);
    }
    EXPECT_TRUE(run.boxes.empty());
    SetSoundDevice(&backend);
    SetWindowsBackend(&backend);
    return frames;
  }
};

TEST_F(ThreadCountRunTest, EveryFrameIsTheSameAtEveryThreadCountAndDepth) {
  for (const DWORD depth : {32u, 24u, 16u}) {
    // Every slot at 32 bits; fewer frames at the other depths, whose drawing differs only in the
    // last step.
    const std::uint32_t step = depth == 32 ? 500 : 1000;
    const std::vector<Frame> alone = Play(1, depth, step);
    ASSERT_GT(alone.size(), 125000u / step) << depth;
    for (const int threads : {2, 3, 4, 8}) {
      const std::vector<Frame> shared = Play(threads, depth, step);
      ASSERT_EQ(shared.size(), alone.size()) << threads << " threads, " << depth << " bits";
      for (std::size_t i = 0; i < alone.size(); ++i) {
        ASSERT_EQ(shared[i], alone[i]) << threads << " threads, " << depth << " bits, frame " << i << " at "
                                       << alone[i].at << " ms";
      }
    }
  }
}

}  // namespace
