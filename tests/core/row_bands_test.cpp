// Bands of rows: every row is painted exactly once in bands of kBandRows, whatever the number of
// threads; with one thread in order; and without a work object in one go on the calling thread.
#include "core/row_bands.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/faults.h"
#include "tests/support/worker_threads.h"

namespace {

struct Painted {
  std::mutex mutex;
  std::vector<std::pair<int, int>> bands;  // in the order they were painted
  std::vector<std::atomic<int>> rows = std::vector<std::atomic<int>>(300);
};

Painted& PaintAll(Painted& painted, int rows) {
  PaintRowBands(rows, [&](int firstRow, int endRow) {
    for (int r = firstRow; r < endRow; ++r) painted.rows[r].fetch_add(1);
    std::lock_guard<std::mutex> lock(painted.mutex);
    painted.bands.emplace_back(firstRow, endRow);
  });
  return painted;
}

TEST(RowBands, EveryRowIsPaintedOnceInBandsOfSixteen) {
  AtEveryThreadCount([](int threads) {
    for (int rows : {0, 1, 16, 17, 280}) {
      Painted painted;
      PaintAll(painted, rows);
      for (int r = 0; r < 300; ++r) ASSERT_EQ(painted.rows[r].load(), r < rows ? 1 : 0) << rows << " rows, row " << r;
      EXPECT_EQ(painted.bands.size(), static_cast<std::size_t>((rows + kBandRows - 1) / kBandRows)) << rows;
      for (const auto& [first, end] : painted.bands) {
        EXPECT_EQ(first % kBandRows, 0);
        EXPECT_EQ(end, std::min(first + kBandRows, rows));
      }
      if (threads == 1) {
        for (std::size_t b = 0; b < painted.bands.size(); ++b)
          EXPECT_EQ(painted.bands[b].first, static_cast<int>(b) * kBandRows) << "in order on one thread";
      }
    }
  });
}

TEST(RowBands, WithoutAWorkObjectTheRowsArePaintedInOneGo) {
  AtThreadCounts({2}, [](int) {
    faults::Fail("CreateThreadpoolWork", faults::Calls("CreateThreadpoolWork") + 1);
    Painted painted;
    PaintAll(painted, 280);
    faults::Reset();
    ASSERT_EQ(painted.bands.size(), 1u);
    EXPECT_EQ(painted.bands[0], std::make_pair(0, 280));
    for (int r = 0; r < 280; ++r) EXPECT_EQ(painted.rows[r].load(), 1) << r;
  });
}

}  // namespace
