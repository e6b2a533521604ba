#include "platform/soundlib/instrument_notes.h"

namespace {

// libxmp keeps the module's notes 12 higher than the file: C-0 is 13.
constexpr int kNoteShift = 12;
constexpr int kLowestNote = 1 + kNoteShift;
constexpr int kHighestNote = 96 + kNoteShift;
// Effect E with a parameter 0xDx holds the cell back x ticks.
constexpr int kExtendedEffect = 0x0E;
constexpr int kNoteDelay = 0x0D;

bool IsNote(int note) { return note >= kLowestNote && note <= kHighestNote; }

// The cell of one channel at one row, or an empty one where the module has none.
xmp_event CellAt(const xmp_module& module, int pattern, int row, int channel) {
  if (pattern < 0 || pattern >= module.pat || module.xxp == nullptr || module.xxp[pattern] == nullptr) return {};
  const int track = module.xxp[pattern]->index[channel];
  if (track < 0 || track >= module.trk || module.xxt[track] == nullptr) return {};
  if (row < 0 || row >= module.xxt[track]->rows) return {};
  return module.xxt[track]->event[row];
}

int DelayOf(const xmp_event& event) {
  if (event.fxt == kExtendedEffect && (event.fxp >> 4) == kNoteDelay) return event.fxp & 0x0F;
  return 0;
}

}  // namespace

void InstrumentNotes::Reset() { channels_.clear(); }

std::vector<int> InstrumentNotes::Instruments() const {
  std::vector<int> instruments;
  for (const Channel& channel : channels_) instruments.push_back(channel.instrument);
  return instruments;
}

void InstrumentNotes::Tick(const xmp_module& module, const xmp_frame_info& info, std::vector<SoundingNote>* notes) {
  const int count = module.chn < 0 ? 0 : module.chn > XMP_MAX_CHANNELS ? XMP_MAX_CHANNELS : module.chn;
  if (static_cast<int>(channels_.size()) != count) channels_.resize(static_cast<std::size_t>(count));
  for (int c = 0; c < count; ++c) {
    Channel& channel = channels_[static_cast<std::size_t>(c)];
    if (info.frame == 0) {
      // A new row: its cell sounds at its delay tick, or never when the delay outlasts the row's
      // speed (the player drops such a cell; a pattern delay does not give it more time).
      channel.event = CellAt(module, info.pattern, info.row, c);
      channel.tick = DelayOf(channel.event);
      channel.waiting = (channel.event.note != 0 || channel.event.ins != 0) && channel.tick < info.speed;
    }
    if (!channel.waiting || info.frame != channel.tick) continue;
    channel.waiting = false;
    const xmp_event& event = channel.event;
    if (IsNote(event.note)) {
      if (event.ins != 0) channel.instrument = event.ins;
      if (channel.instrument != 0) notes->push_back(SoundingNote{channel.instrument, event.note - kNoteShift});
    } else if (event.note == 0) {
      // An instrument without a note chooses the instrument of the notes that follow; a key-off
      // with an instrument does not.
      channel.instrument = event.ins;
    }
  }
}
