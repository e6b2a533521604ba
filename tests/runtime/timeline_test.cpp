#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/canvas.h"
#include "runtime/schedule.h"
#include "runtime/timeline.h"
#include "tests/support/headless.h"

namespace {

struct Call {
  std::uint32_t elapsed;
  unsigned slot;
  bool canvasBlack;
};
std::vector<Call> calls;
std::vector<std::uint32_t> canvasStore(kCanvasBytes / 4);

bool CanvasIsBlack(const std::uint32_t* canvas) {
  for (int i = 0; i < kCanvasWidth * kCanvasHeight; ++i)
    if (canvas[i] != 0) return false;
  return true;
}

void Record(std::uint32_t elapsed, std::uint32_t* canvas) {
  calls.push_back(Call{elapsed, static_cast<unsigned>(Timeline.current - SlotTable), CanvasIsBlack(canvas)});
  // Scenes draw: the next slot must still start on black.
  canvas[100] = 0x00FFFFFF;
}

class TimelineTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    calls.clear();
    Canvas = canvasStore.data();
    std::memset(Canvas, 0x55, kCanvasBytes);
    Timeline.Create(kSlotCount);
    FillSlotTable();
    for (unsigned i = 0; i < kSlotCount; ++i) SlotTable[i].render = Record;
  }
};

TEST_F(TimelineTest, ScheduleHasTheFourteenDurations) {
  const std::uint32_t expected[] = {5000, 20000, 15000, 14000, 5000, 1000, 5000,
                                    1000, 5000, 12000, 15000, 18000, 20000000};
  ASSERT_EQ(Timeline.count, 14);
  EXPECT_EQ(Timeline.number, 1);
  EXPECT_EQ(SlotTable[0].duration, 11000u);
  for (unsigned i = 1; i < kSlotCount; ++i) EXPECT_EQ(SlotTable[i].duration, expected[i - 1]) << "slot " << i;
}

TEST_F(TimelineTest, EqualToDurationStaysAndOneMoreSwitchesWithBlackCanvas) {
  Timeline.SetStart(1000);
  Timeline.Dispatch(1000 + 11000, Canvas);
  EXPECT_EQ(Timeline.number, 1);
  Timeline.Dispatch(1000 + 11001, Canvas);
  EXPECT_EQ(Timeline.number, 2);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].slot, 0u);
  EXPECT_EQ(calls[0].elapsed, 11000u);
  // The switching pass hands the new slot the time from the previous slot's start, on black.
  EXPECT_EQ(calls[1].slot, 1u);
  EXPECT_EQ(calls[1].elapsed, 11001u);
  EXPECT_TRUE(calls[1].canvasBlack);
  EXPECT_EQ(Timeline.current->start, 12001u);
  Timeline.Dispatch(12001 + 7, Canvas);
  EXPECT_EQ(calls[2].elapsed, 7u);
}

TEST_F(TimelineTest, ElapsedTimeSurvivesAClockWrap) {
  Timeline.SetStart(0xFFFFFF00u);
  Timeline.Dispatch(0x00000100u, Canvas);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].elapsed, 0x200u);
  EXPECT_EQ(Timeline.number, 1);
}

TEST_F(TimelineTest, AdvancesOneSlotPerPassHoweverLate) {
  Timeline.SetStart(0);
  std::uint32_t now = 0;
  // Get to slot 6 (the 1000 ms tunnel), then come back far too late.
  for (int slot = 1; slot <= 6; ++slot) {
    now += SlotTable[Timeline.current - SlotTable].duration + 1;
    Timeline.Dispatch(now, Canvas);
  }
  ASSERT_EQ(Timeline.current - SlotTable, 6);
  now += 1000 + 5000 + 1000 + 50;
  Timeline.Dispatch(now, Canvas);
  EXPECT_EQ(Timeline.current - SlotTable, 7);
  EXPECT_EQ(Timeline.current->start, now);
}

TEST_F(TimelineTest, SlotsOneAndTenShareTheOperationAndSeeTheirNumbers) {
  FillSlotTable();
  EXPECT_EQ(SlotTable[1].render, SlotTable[10].render);
  EXPECT_EQ(SlotTable[6].render, SlotTable[8].render);
  EXPECT_EQ(SlotTable[5].render, SlotTable[7].render);
  EXPECT_EQ(SlotTable[5].render, SlotTable[9].render);
  std::vector<unsigned> numbers;
  static std::vector<unsigned>* seen;
  seen = &numbers;
  for (unsigned i = 0; i < kSlotCount; ++i) {
    SlotTable[i].render = [](std::uint32_t, std::uint32_t*) { seen->push_back(Timeline.number); };
  }
  Timeline.SetStart(0);
  std::uint32_t now = 0;
  for (unsigned slot = 0; slot < kSlotCount; ++slot) {
    now += (slot == 0 ? 0 : SlotTable[slot - 1].duration + 1);
    Timeline.Dispatch(now, Canvas);
  }
  ASSERT_EQ(numbers.size(), kSlotCount);
  EXPECT_EQ(numbers[1], 2u);
  EXPECT_EQ(numbers[10], 11u);
}

TEST_F(TimelineTest, RunningOutTheLastSlotShutsDownAndDrawsNothing) {
  Timeline.SetStart(0);
  std::uint32_t now = 0;
  for (unsigned slot = 1; slot < kSlotCount; ++slot) {
    now += SlotTable[slot - 1].duration + 1;
    Timeline.Dispatch(now, Canvas);
  }
  ASSERT_EQ(Timeline.number, 14);
  const size_t before = calls.size();
  Timeline.Dispatch(now + 20000000, Canvas);
  EXPECT_EQ(calls.size(), before + 1);
  EXPECT_EQ(CountQuits(), 0);
  Timeline.Dispatch(now + 20000001, Canvas);
  EXPECT_EQ(calls.size(), before + 1) << "the last picture is not drawn again";
  EXPECT_EQ(CountQuits(), 1);
}

}  // namespace
