#include "core/row_bands.h"

#include <algorithm>
#include <atomic>

#include "platform/windows/win32.h"

namespace {

struct BandJob {
  RowBandPainter paint;
  void* context;
  int rows;
  std::atomic<int> nextBand{0};
};

// Every call paints the next band not yet taken; the work object is submitted once per band.
void CALLBACK PaintNextBand(PTP_CALLBACK_INSTANCE, PVOID context, PTP_WORK) {
  BandJob& job = *static_cast<BandJob*>(context);
  const int firstRow = job.nextBand.fetch_add(1, std::memory_order_relaxed) * kBandRows;
  job.paint(job.context, firstRow, std::min(firstRow + kBandRows, job.rows));
}

}  // namespace

void PaintRowBands(int rows, RowBandPainter paint, void* context) {
  if (rows <= 0) return;
  const int bands = (rows + kBandRows - 1) / kBandRows;
  BandJob job{paint, context, rows};
  // Without a work object the rows are painted here in one go: the same bytes, on one thread.
  const PTP_WORK work = bands > 1 ? CreateThreadpoolWork(PaintNextBand, &job, nullptr) : nullptr;
  if (work == nullptr) {
    paint(context, 0, rows);
    return;
  }
  for (int band = 0; band < bands; ++band) SubmitThreadpoolWork(work);
  WaitForThreadpoolWorkCallbacks(work, FALSE);
  CloseThreadpoolWork(work);
}
