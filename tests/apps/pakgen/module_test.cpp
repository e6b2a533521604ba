// The module as the sound library's stand-in plays it (libxmp): every instrument in use, the
// kick on the beat and the accents in every slot, a loop into the end, and no clipping.
#include <gtest/gtest.h>
#include <xmp.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <map>
#include <vector>

#include "runtime/session.h"
#include "tests/apps/pakgen/package_fixture.h"

namespace {

// When each slot begins, in seconds; the last slot lasts until the user leaves.

struct Playback {
  std::map<int, std::vector<int>> noteTimes;  // instrument → milliseconds of its notes
  int totalTime = 0, instruments = 0, restart = -1, positionAfterLoop = -1;
  int peak = 0;
  double rms = 0;
};

// Plays the module once through and into its loop, noting every note as its row begins.
const Playback& Played() {
  static const Playback result = [] {
    Playback p;
    const Bytes& module = BuiltPackage().at("kaleth.xm");
    xmp_context context = xmp_create_context();
    if (xmp_load_module_from_memory(context, module.data(), static_cast<long>(module.size())) != 0) {
      ADD_FAILURE() << "libxmp refused the module";
      xmp_free_context(context);
      return p;
    }
    xmp_module_info info;
    xmp_get_module_info(context, &info);
    p.instruments = info.mod->ins;
    p.restart = info.mod->rst;
    xmp_start_player(context, 44100, 0);
    double squares = 0;
    long samples = 0;
    for (;;) {
      if (xmp_play_frame(context) != 0) break;
      xmp_frame_info frame;
      xmp_get_frame_info(context, &frame);
      if (frame.loop_count > 0) {
        p.positionAfterLoop = frame.pos;
        break;
      }
      p.totalTime = frame.total_time;
      const auto* pcm = static_cast<const std::int16_t*>(frame.buffer);
      for (int i = 0; i < frame.buffer_size / 2; ++i) {
        p.peak = std::max(p.peak, std::abs(static_cast<int>(pcm[i])));
        squares += static_cast<double>(pcm[i]) * pcm[i];
        ++samples;
      }
      if (frame.frame != 0) continue;
      for (int c = 0; c < info.mod->chn; ++c) {
        const xmp_event& e = frame.channel_info[c].event;
        if (e.note > 0 && e.note < XMP_KEY_OFF && e.ins > 0) p.noteTimes[e.ins].push_back(frame.time);
      }
    }
    p.rms = samples ? std::sqrt(squares / samples) : 0;
    xmp_end_player(context);
    xmp_release_module(context);
    xmp_free_context(context);
    return p;
  }();
  return result;
}

TEST(PakgenModule, UsesSixteenInstrumentsAndLoopsIntoTheEndAfterTheProduction) {
  const Playback& p = Played();
  EXPECT_GE(p.instruments, 16);
  for (int i = 1; i <= p.instruments; ++i) EXPECT_EQ(p.noteTimes.count(i), 1u) << "instrument " << i << " never plays";
  EXPECT_GE(p.totalTime, 130000);
  // After the end the song goes back to the section written for the endless last slot.
  EXPECT_EQ(p.restart, 13);
  EXPECT_EQ(p.positionAfterLoop, p.restart);
}

TEST(PakgenModule, KickMarksTheBeatAndAccentsFallInEverySlot) {
  const Playback& p = Played();
  const std::vector<int>& kicks = p.noteTimes.at(1);
  const std::vector<int>& accents = p.noteTimes.at(16);
  // 120 beats a minute: about two kicks a second, never a silent stretch of more than a beat.
  EXPECT_GE(static_cast<double>(kicks.size()), 1.9 * p.totalTime / 1000);
  for (std::size_t i = 1; i < kicks.size(); ++i) EXPECT_LE(kicks[i] - kicks[i - 1], 520) << "at " << kicks[i] << " ms";
  for (std::size_t s = 0; s < kSlotCount; ++s) {
    const int from = static_cast<int>(Schedule()[s].startMs),
              to = s + 1 < kSlotCount ? static_cast<int>(Schedule()[s + 1].startMs) : p.totalTime;
    auto in = [&](const std::vector<int>& times) {
      return std::count_if(times.begin(), times.end(), [&](int t) { return t >= from && t < to; });
    };
    EXPECT_GE(in(kicks), 1) << "slot " << s;
    EXPECT_GE(in(accents), 1) << "slot " << s;
  }
  // Accents are rarer than the beat, so the pictures they switch stay up long enough to see.
  EXPECT_LT(accents.size() * 2, kicks.size());
}

TEST(PakgenModule, PlaysAtASensibleLevelWithoutClipping) {
  const Playback& p = Played();
  EXPECT_LT(p.peak, 31000);
  EXPECT_GT(p.peak, 8000);
  EXPECT_GT(p.rms, 1500);
}

}  // namespace
