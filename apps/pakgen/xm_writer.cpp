#include <cmath>
#include <stdexcept>

#include "apps/pakgen/xm.h"

namespace {

class Out {
 public:
  explicit Out(Bytes& bytes) : bytes_(bytes) {}
  void u8(unsigned v) { bytes_.push_back(static_cast<std::uint8_t>(v)); }
  void u16(unsigned v) {
    u8(v & 0xff);
    u8((v >> 8) & 0xff);
  }
  void u32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) u8((v >> (8 * i)) & 0xff);
  }
  // A fixed-width text field, padded with `pad`.
  void text(const std::string& s, std::size_t width, char pad) {
    for (std::size_t i = 0; i < width; ++i) u8(static_cast<unsigned char>(i < s.size() ? s[i] : pad));
  }
  void zeros(std::size_t n) { bytes_.insert(bytes_.end(), n, 0); }

 private:
  Bytes& bytes_;
};

void PackPattern(Out& out, const XmPattern& pattern, int channels) {
  if (pattern.rows < 1 || pattern.rows > 256 ||
      pattern.cells.size() != static_cast<std::size_t>(pattern.rows) * static_cast<std::size_t>(channels))
    throw std::runtime_error("pattern shape does not match its rows and channels");
  Bytes packed;
  Out data(packed);
  for (const XmCell& cell : pattern.cells) {
    const std::uint8_t fields[5] = {cell.note, cell.instrument, cell.volume, cell.effect, cell.parameter};
    unsigned flags = 0x80;
    for (int i = 0; i < 5; ++i)
      if (fields[i]) flags |= 1u << i;
    data.u8(flags);
    for (int i = 0; i < 5; ++i)
      if (fields[i]) data.u8(fields[i]);
  }
  if (packed.size() > 0xffff) throw std::runtime_error("pattern too large to pack");
  out.u32(9);
  out.u8(0);
  out.u16(static_cast<unsigned>(pattern.rows));
  out.u16(static_cast<unsigned>(packed.size()));
  for (std::uint8_t b : packed) out.u8(b);
}

void PutEnvelopePoints(Out& out, const XmEnvelope& envelope) {
  for (std::size_t i = 0; i < 12; ++i) {
    out.u16(i < envelope.points.size() ? envelope.points[i].first : 0);
    out.u16(i < envelope.points.size() ? envelope.points[i].second : 0);
  }
}

void PutInstrument(Out& out, const XmInstrument& instrument) {
  const XmSample& sample = instrument.sample;
  const XmEnvelope& envelope = instrument.volumeEnvelope;
  if (envelope.points.size() > 12) throw std::runtime_error("an envelope has at most 12 points");
  out.u32(263);
  out.text(instrument.name, 22, ' ');
  out.u8(0);
  out.u16(1);  // one sample
  out.u32(40);
  out.zeros(96);  // every note plays sample 0
  PutEnvelopePoints(out, envelope);
  PutEnvelopePoints(out, XmEnvelope{});
  out.u8(static_cast<unsigned>(envelope.points.size()));
  out.u8(0);
  out.u8(envelope.sustain < 0 ? 0u : static_cast<unsigned>(envelope.sustain));
  out.u8(0);
  out.u8(0);
  out.zeros(3);
  unsigned type = envelope.points.empty() ? 0u : 1u;
  if (!envelope.points.empty() && envelope.sustain >= 0) type |= 2u;
  out.u8(type);
  out.u8(0);
  out.u8(instrument.vibratoType);
  out.u8(instrument.vibratoSweep);
  out.u8(instrument.vibratoDepth);
  out.u8(instrument.vibratoRate);
  out.u16(instrument.fadeout);
  out.zeros(22);
  // Sample header: lengths in bytes, 16-bit data.
  out.u32(static_cast<std::uint32_t>(sample.frames.size() * 2));
  out.u32(sample.loopStart * 2);
  out.u32(sample.loopLength * 2);
  out.u8(sample.volume);
  out.u8(static_cast<std::uint8_t>(sample.finetune));
  out.u8((sample.loopLength ? 1u : 0u) | 0x10u);
  out.u8(sample.panning);
  out.u8(static_cast<std::uint8_t>(sample.relativeNote));
  out.u8(0);
  out.text(instrument.name, 22, ' ');
  // Delta-coded frames: each stores its difference from the one before, wrapping.
  std::int16_t previous = 0;
  for (std::int16_t frame : sample.frames) {
    out.u16(static_cast<std::uint16_t>(static_cast<std::uint16_t>(frame) - static_cast<std::uint16_t>(previous)));
    previous = frame;
  }
}

}  // namespace

std::uint8_t NoteNumber(const std::string& name) {
  static const char* const kNames[] = {"C-", "C#", "D-", "D#", "E-", "F-", "F#", "G-", "G#", "A-", "A#", "B-"};
  if (name.size() == 3 && name[2] >= '0' && name[2] <= '7')
    for (int i = 0; i < 12; ++i)
      if (name.compare(0, 2, kNames[i]) == 0) return static_cast<std::uint8_t>((name[2] - '0') * 12 + i + 1);
  throw std::runtime_error("not a note name: " + name);
}

void TuneSample(XmSample& sample, double sampleRate, double frequency) {
  const double semitones = 12 * std::log2(sampleRate / 8363.0 * 261.6255653 / frequency);
  const double relative = std::round(semitones);
  sample.relativeNote = static_cast<std::int8_t>(relative);
  sample.finetune = static_cast<std::int8_t>(std::lround((semitones - relative) * 128));
}

Bytes EncodeXm(const XmModule& module) {
  if (module.orders.empty() || module.orders.size() > 256 || module.restart >= static_cast<int>(module.orders.size()))
    throw std::runtime_error("order list must hold 1 to 256 entries with the restart inside it");
  if (module.channels < 2 || module.channels > 32 || module.channels % 2)
    throw std::runtime_error("channels must be an even number from 2 to 32");
  Bytes bytes;
  Out out(bytes);
  out.text("Extended Module: ", 17, ' ');
  out.text(module.name, 20, ' ');
  out.u8(0x1A);
  out.text(module.tracker, 20, ' ');
  out.u16(0x0104);
  out.u32(276);
  out.u16(static_cast<unsigned>(module.orders.size()));
  out.u16(static_cast<unsigned>(module.restart));
  out.u16(static_cast<unsigned>(module.channels));
  out.u16(static_cast<unsigned>(module.patterns.size()));
  out.u16(static_cast<unsigned>(module.instruments.size()));
  out.u16(1);  // linear frequencies
  out.u16(static_cast<unsigned>(module.speed));
  out.u16(static_cast<unsigned>(module.bpm));
  for (std::size_t i = 0; i < 256; ++i) {
    const unsigned order = i < module.orders.size() ? module.orders[i] : 0u;
    if (i < module.orders.size() && order >= module.patterns.size())
      throw std::runtime_error("order names a pattern that does not exist");
    out.u8(order);
  }
  for (const XmPattern& pattern : module.patterns) PackPattern(out, pattern, module.channels);
  for (const XmInstrument& instrument : module.instruments) PutInstrument(out, instrument);
  return bytes;
}
