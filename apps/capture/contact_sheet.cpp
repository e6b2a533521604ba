#include "apps/capture/contact_sheet.h"

#include <algorithm>
#include <cstdio>

#include "platform/pixels/pixel_convert.h"
#include "tools/common/png_writer.h"
#include "tools/drawing/typesetter.h"

namespace {

constexpr int kCellWidth = 256;
constexpr int kCellHeight = 192;
constexpr int kLabelHeight = 22;
constexpr int kColumns = 4;
constexpr int kGap = 6;
constexpr std::uint32_t kBackground = 0x00181818;

std::string Label(int slot, std::int64_t timelineMs) {
  char text[64];
  std::snprintf(text, sizeof text, "slot %d   %lld:%02lld.%03lld", slot, static_cast<long long>(timelineMs / 60000),
                static_cast<long long>(timelineMs / 1000 % 60), static_cast<long long>(timelineMs % 1000));
  return text;
}

// Halves the picture with a 2 x 2 box filter, so thin lines stay visible.
std::vector<std::uint32_t> HalfSize(const FrameView& frame) {
  std::vector<std::uint32_t> full(static_cast<size_t>(frame.width) * frame.height);
  ConvertToXrgb(frame, reinterpret_cast<std::uint8_t*>(full.data()), frame.width * 4);
  std::vector<std::uint32_t> half(static_cast<size_t>(kCellWidth) * kCellHeight, 0);
  for (int y = 0; y < kCellHeight && 2 * y + 1 < frame.height; ++y) {
    for (int x = 0; x < kCellWidth && 2 * x + 1 < frame.width; ++x) {
      std::uint32_t sum[3] = {0, 0, 0};
      for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) {
          const std::uint32_t p = full[static_cast<size_t>(2 * y + dy) * frame.width + 2 * x + dx];
          for (int c = 0; c < 3; ++c) sum[c] += (p >> (8 * c)) & 0xFF;
        }
      half[static_cast<size_t>(y) * kCellWidth + x] = (sum[0] / 4) | (sum[1] / 4) << 8 | (sum[2] / 4) << 16;
    }
  }
  return half;
}

}  // namespace

void ContactSheet::Offer(const FrameView& frame, int slot, std::uint32_t slotElapsed, std::uint32_t slotDuration,
                         std::int64_t timelineMs) {
  for (const Cell& cell : cells_)
    if (cell.slot == slot) return;
  const std::int64_t slotStart = timelineMs - slotElapsed;
  const std::int64_t span = std::min<std::int64_t>(slotDuration, std::max<std::int64_t>(endMs_ - slotStart, 0));
  if (slotElapsed < span / 2) return;
  cells_.push_back(Cell{slot, timelineMs, HalfSize(frame)});
}

int ContactSheet::CellsTaken() const { return static_cast<int>(cells_.size()); }

bool ContactSheet::Write(const std::string& path, std::string* error) const {
  const int count = std::max(CellsTaken(), 1);
  const int rows = (count + kColumns - 1) / kColumns;
  const int width = kColumns * (kCellWidth + kGap) + kGap;
  const int height = rows * (kCellHeight + kLabelHeight + kGap) + kGap;
  std::vector<std::uint32_t> sheet(static_cast<size_t>(width) * height, kBackground);
  Mask labels(width, height);
  Typesetter typesetter;
  const TextStyle style{Face::Mono, 14, 0};
  for (int i = 0; i < CellsTaken(); ++i) {
    const Cell& cell = cells_[i];
    const int left = kGap + (i % kColumns) * (kCellWidth + kGap);
    const int top = kGap + (i / kColumns) * (kCellHeight + kLabelHeight + kGap);
    for (int y = 0; y < kCellHeight; ++y) {
      std::copy_n(&cell.pixels[static_cast<size_t>(y) * kCellWidth], kCellWidth,
                  &sheet[static_cast<size_t>(top + y) * width + left]);
    }
    typesetter.Draw(labels, Label(cell.slot, cell.timelineMs), style, left + 4, top + kCellHeight + 16);
  }
  for (size_t i = 0; i < sheet.size(); ++i) {
    if (labels.values[i] <= 0) continue;
    const std::uint32_t level = ToByte(labels.values[i]);
    const std::uint32_t back = sheet[i] & 0xFF;
    const std::uint32_t grey = back + ((level * (230 - back)) >> 8);
    sheet[i] = grey | grey << 8 | grey << 16;
  }
  return WritePng(path, sheet.data(), width, height, width * 4, error);
}
