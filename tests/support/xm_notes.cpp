#include "tests/support/xm_notes.h"

#include <algorithm>

namespace {

struct Reader {
  const std::vector<std::uint8_t>& bytes;
  bool ok = true;
  unsigned At(std::size_t offset, int size) {
    if (offset + static_cast<std::size_t>(size) > bytes.size()) {
      ok = false;
      return 0;
    }
    unsigned value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes[offset + static_cast<std::size_t>(i)];
    return value;
  }
};

struct Cell {
  unsigned note = 0, instrument = 0, effect = 0, parameter = 0;
};

struct Pattern {
  unsigned rows = 0;
  std::vector<Cell> cells;
};

bool ReadPatterns(Reader& in, unsigned count, unsigned channels, std::vector<Pattern>* patterns) {
  std::size_t offset = 60 + in.At(60, 4);
  for (unsigned p = 0; p < count && in.ok; ++p) {
    Pattern pattern;
    pattern.rows = in.At(offset + 5, 2);
    const unsigned packed = in.At(offset + 7, 2);
    std::size_t at = offset + in.At(offset, 4);
    const std::size_t end = at + packed;
    pattern.cells.resize(static_cast<std::size_t>(pattern.rows) * channels);
    for (std::size_t c = 0; packed != 0 && c < pattern.cells.size() && in.ok; ++c) {
      Cell& cell = pattern.cells[c];
      const unsigned first = in.At(at++, 1);
      unsigned* fields[] = {&cell.note, &cell.instrument, nullptr, &cell.effect, &cell.parameter};
      unsigned volume = 0;
      fields[2] = &volume;
      if (first & 0x80) {
        for (int f = 0; f < 5; ++f)
          if (first & (1u << f)) *fields[f] = in.At(at++, 1);
      } else {
        cell.note = first;
        for (int f = 1; f < 5; ++f) *fields[f] = in.At(at++, 1);
      }
    }
    if (at > end) in.ok = false;
    offset = end;
    patterns->push_back(pattern);
  }
  return in.ok;
}

}  // namespace

bool ListXmNotes(const std::vector<std::uint8_t>& module, std::uint64_t frames, int rate, std::vector<XmNote>* notes,
                 std::string* error) {
  Reader in{module};
  const unsigned length = in.At(64, 2), restart = in.At(66, 2), channels = in.At(68, 2);
  const unsigned patternCount = in.At(70, 2);
  unsigned speed = in.At(76, 2), bpm = in.At(78, 2);
  std::vector<Pattern> patterns;
  if (!in.ok || length == 0 || !ReadPatterns(in, patternCount, channels, &patterns)) {
    *error = "not a module this reader follows";
    return false;
  }
  std::vector<unsigned> channelInstrument(channels, 0);
  std::uint64_t now = 0;
  for (unsigned order = 0; now < frames; order = order + 1 < length ? order + 1 : restart) {
    const unsigned index = in.At(80 + order, 1);
    if (index >= patterns.size()) {
      *error = "an order names a missing pattern";
      return false;
    }
    const Pattern& pattern = patterns[index];
    for (unsigned row = 0; row < pattern.rows && now < frames; ++row) {
      const Cell* cells = &pattern.cells[static_cast<std::size_t>(row) * channels];
      // Speed and tempo take effect on the row that sets them.
      for (unsigned c = 0; c < channels; ++c) {
        const Cell& cell = cells[c];
        if (cell.effect == 0x0B || cell.effect == 0x0D || (cell.effect == 0x0E && (cell.parameter >> 4 == 6 || cell.parameter >> 4 == 0xE))) {
          *error = "jumps, breaks and loops are not followed";
          return false;
        }
        if (cell.effect == 0x0F && cell.parameter != 0) (cell.parameter < 0x20 ? speed : bpm) = cell.parameter;
      }
      const std::uint64_t tick = static_cast<std::uint64_t>(rate) * 5 / (2 * bpm);
      for (unsigned c = 0; c < channels; ++c) {
        const Cell& cell = cells[c];
        const unsigned delay = cell.effect == 0x0E && cell.parameter >> 4 == 0x0D ? cell.parameter & 0x0F : 0;
        if (delay >= speed) continue;
        if (cell.note >= 1 && cell.note <= 96) {
          if (cell.instrument != 0) channelInstrument[c] = cell.instrument;
          const std::uint64_t at = now + delay * tick;
          if (channelInstrument[c] != 0 && at < frames) notes->push_back(XmNote{static_cast<int>(channelInstrument[c]), at});
        } else if (cell.note == 0 && cell.instrument != 0) {
          channelInstrument[c] = cell.instrument;
        }
      }
      now += speed * tick;
    }
  }
  // A held-back note may sound after a later channel's note of the same row.
  std::stable_sort(notes->begin(), notes->end(), [](const XmNote& a, const XmNote& b) { return a.frame < b.frame; });
  return true;
}
