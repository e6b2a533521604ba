// The real entry with the production's music on the headless backend, each run in a process of
// its own: the beat flags the scenes see follow the music the same way every run, and F1 flips
// BeatFlagA when pressed.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "runtime/session.h"
#include "music/beat_flags.h"
#include "runtime/entry.h"
#include "runtime/timeline.h"
#include "tests/support/headless.h"

namespace {

struct Seen {
  std::int64_t time;  // timeline milliseconds
  int a, b;
  bool operator==(const Seen&) const = default;
};

class MusicRunTest : public HeadlessTest {
 protected:
  // Plays the first six seconds at 20 frames a second with the given keys. Each run is a process
  // of its own, as a run of the program is: its blocks live until the process ends.
  std::vector<Seen> Run(const std::vector<ScriptedMessage>& keys) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return {};
    const pid_t child = fork();
    if (child == 0) {
      close(pipeFds[0]);
      const std::vector<Seen> seen = Play(keys);
      const char* bytes = reinterpret_cast<const char*>(seen.data());
      for (std::size_t left = seen.size() * sizeof(Seen); left > 0;) {
        const ssize_t n = write(pipeFds[1], bytes, left);
        if (n <= 0) _exit(1);
        bytes += n;
        left -= static_cast<std::size_t>(n);
      }
      _exit(0);
    }
    close(pipeFds[1]);
    std::vector<char> bytes;
    char buffer[4096];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;) bytes.insert(bytes.end(), buffer, buffer + n);
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the run failed";
    std::vector<Seen> seen(bytes.size() / sizeof(Seen));
    std::memcpy(seen.data(), bytes.data(), seen.size() * sizeof(Seen));
    return seen;
  }

 private:
  std::vector<Seen> Play(std::vector<ScriptedMessage> keys) {
    backend.frameStepMicroseconds = 50000;
    backend.script = std::move(keys);
    backend.script.push_back(ScriptedMessage{6000, WM_KEYDOWN, VK_ESCAPE});
    auto timeline = [this]() -> std::int64_t {
      return WhereIs(backend.Milliseconds()).timelineMs;
    };
    backend.scriptClock = timeline;
    std::vector<Seen> seen;
    backend.onPresent = [&](const FrameView&, std::uint32_t) {
      if (Playing) seen.push_back(Seen{timeline(), BeatFlagA, BeatFlagB});
    };
    BeatFlagA = 1;  // as in a fresh process
    std::string commandLine;
    if (WinMain(nullptr, nullptr, commandLine.data(), SW_SHOWDEFAULT) != 0 || !backend.boxes.empty()) {
      std::fprintf(stderr, "the run ended with \"%s\"\n", backend.boxes.empty() ? "" : backend.boxes[0].text.c_str());
      _exit(1);
    }
    return seen;
  }
};

TEST_F(MusicRunTest, TheFlagsFollowTheMusicAlikeEveryRunAndF1FlipsBeatFlagAWhenPressed) {
  const std::vector<Seen> first = Run({});
  const std::vector<Seen> second = Run({});
  ASSERT_GT(first.size(), 100u);
  EXPECT_EQ(first, second);
  int changesA = 0, changesB = 0;
  for (std::size_t i = 1; i < first.size(); ++i) {
    changesA += first[i].a != first[i - 1].a;
    changesB += first[i].b != first[i - 1].b;
  }
  EXPECT_GT(changesA, 0);
  EXPECT_GT(changesB, 0);

  const std::vector<Seen> pressed = Run({ScriptedMessage{3000, WM_KEYDOWN, VK_F1}});
  ASSERT_EQ(pressed.size(), first.size());
  for (std::size_t i = 0; i < first.size(); ++i) {
    ASSERT_EQ(pressed[i].time, first[i].time);
    EXPECT_EQ(pressed[i].b, first[i].b) << pressed[i].time;
    // The key is taken before the first frame at or after its time.
    EXPECT_EQ(pressed[i].a, pressed[i].time < 3000 ? first[i].a : 1 - first[i].a) << pressed[i].time;
  }
}

}  // namespace
