// The production's own module, from the package the build makes: the syncs against the notes
// its patterns hold, and the flags through every slot.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "runtime/session.h"
#include "data/member_file.h"
#include "data/pak_archive.h"
#include "music/music.h"
#include "tests/platform/soundlib/sound_test.h"
#include "tests/support/xm_notes.h"

namespace {

constexpr int kRate = 44100;
constexpr std::uint64_t kSpan = 140000;  // ms: ten seconds into the last slot

class ProductionMusicTest : public SoundTest {
 protected:
  void TearDown() override {
    MusicHandle = 0;
    SoundTest::TearDown();
  }
};

// The first millisecond step of the clock that passes a frame.
std::uint64_t StepPassing(std::uint64_t frame) { return frame * 1000 / kRate + 1; }

TEST_F(ProductionMusicTest, SyncsFireOnTheNotesItsPatternsHoldAndInEverySlot) {
  Package.open(KALETH_BUILD_DIR "/kaleth.pak");
  std::vector<std::uint8_t> module;
  {
    MemberFile member("kaleth.xm", "Unable to open datafile");
    module.resize(member.size());
    member.read(module.data(), module.size());
  }
  std::vector<XmNote> notes;
  std::string error;
  ASSERT_TRUE(ListXmNotes(module, kSpan * kRate / 1000, kRate, &notes, &error)) << error;

  LoadMusic("kaleth.xm");
  const HSYNC one = Record(MusicHandle, 1);
  const HSYNC sixteen = Record(MusicHandle, 16);
  StartMusic();
  const std::uint64_t start = backend.ElapsedMilliseconds();
  Play(kSpan);

  std::uint64_t lastSlotEnd = kSpan;
  for (int instrument : {1, 16}) {
    std::vector<std::uint64_t> expected, fired;
    for (const XmNote& note : notes)
      if (note.instrument == instrument) expected.push_back(StepPassing(note.frame));
    for (std::uint64_t t : TimesOf(instrument == 1 ? one : sixteen)) fired.push_back(t - start);
    // The span's last step may pass a note at its very end.
    while (!fired.empty() && fired.back() > kSpan) fired.pop_back();
    while (!expected.empty() && expected.back() > kSpan) expected.pop_back();
    EXPECT_EQ(fired, expected) << "instrument " << instrument;

    std::string perSlot;
    for (std::size_t slot = 0; slot < kSlotCount; ++slot) {
      const std::uint64_t from = Schedule()[slot].startMs;
      const std::uint64_t to = slot + 1 < kSlotCount ? Schedule()[slot + 1].startMs : lastSlotEnd;
      int count = 0;
      for (std::uint64_t t : fired) count += t > from && t <= to;
      EXPECT_GT(count, 0) << "instrument " << instrument << " in slot " << slot;
      // ' ', a char: a one-letter string before a string warns falsely in GCC 12 (its bug 105329).
      perSlot += ' ' + std::to_string(count);
    }
    std::printf("instrument %d: %zu notes in %llu ms; per slot:%s\n", instrument, fired.size(),
                static_cast<unsigned long long>(kSpan), perSlot.c_str());
  }
}

TEST_F(ProductionMusicTest, AClockThatJumpsPastManyPassesKeepsTheBeatsOfTheModule) {
  Package.open(KALETH_BUILD_DIR "/kaleth.pak");
  // Every millisecond stepped, or one jump past several passes of the loop and then stepped.
  constexpr std::uint64_t kEnd = 700000, kJump = 650000;
  auto run = [&](std::uint64_t jump) {
    ResetSoundLibrary();
    fired.clear();
    LoadMusic("kaleth.xm");
    const HSYNC one = Record(MusicHandle, 1);
    Record(MusicHandle, 16);
    StartMusic();
    const std::uint64_t start = backend.ElapsedMilliseconds();
    if (jump > 0) backend.Sleep(static_cast<DWORD>(jump));
    Play(kEnd - jump);
    std::vector<std::pair<std::uint64_t, int>> beats;
    for (const FiredSync& f : fired) beats.emplace_back(std::max(f.atMilliseconds - start, kJump), f.sync == one ? 1 : 16);
    return beats;
  };
  const auto stepped = run(0);
  const auto jumped = run(kJump);
  EXPECT_GT(stepped.size(), 1000u);
  EXPECT_EQ(jumped, stepped);
}

}  // namespace
