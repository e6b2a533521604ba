#include "tests/support/xm_module.h"

#include <string>

namespace {

class Writer {
 public:
  explicit Writer(std::vector<std::uint8_t>* out) : out_(out) {}
  void u8(unsigned v) { out_->push_back(static_cast<std::uint8_t>(v)); }
  void u16(unsigned v) {
    u8(v & 0xFF);
    u8(v >> 8);
  }
  void u32(std::uint32_t v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  }
  void text(const std::string& s, std::size_t size, char pad) {
    for (std::size_t i = 0; i < size; ++i) u8(i < s.size() ? static_cast<unsigned char>(s[i]) : static_cast<unsigned char>(pad));
  }
  void zeros(std::size_t n) { out_->insert(out_->end(), n, 0); }

 private:
  std::vector<std::uint8_t>* out_;
};

constexpr int kSampleFrames = 32;

void WritePattern(Writer& w, const XmPattern& pattern) {
  std::vector<std::uint8_t> packed;
  Writer p(&packed);
  for (const XmCell& c : pattern.cells) {
    unsigned flags = 0x80;
    if (c.note) flags |= 1;
    if (c.instrument) flags |= 2;
    if (c.volume) flags |= 4;
    if (c.effect) flags |= 8;
    if (c.parameter) flags |= 16;
    p.u8(flags);
    if (c.note) p.u8(c.note);
    if (c.instrument) p.u8(c.instrument);
    if (c.volume) p.u8(c.volume);
    if (c.effect) p.u8(c.effect);
    if (c.parameter) p.u8(c.parameter);
  }
  w.u32(9);
  w.u8(0);
  w.u16(static_cast<unsigned>(pattern.rows));
  w.u16(static_cast<unsigned>(packed.size()));
  for (std::uint8_t b : packed) w.u8(b);
}

void WriteInstrument(Writer& w, int number) {
  w.u32(263);
  w.text("instrument " + std::to_string(number), 22, ' ');
  w.u8(0);
  w.u16(1);   // one sample
  w.u32(40);  // sample header size
  w.zeros(96 + 48 + 48);
  w.zeros(2 + 3 + 3 + 2 + 4);  // no envelopes, no vibrato
  w.u16(0);                    // fadeout
  w.zeros(22);
  // The sample: 8-bit, forward loop over the whole square wave.
  w.u32(kSampleFrames);
  w.u32(0);
  w.u32(kSampleFrames);
  w.u8(48);  // volume
  w.u8(0);   // finetune
  w.u8(1);   // forward loop, 8-bit
  w.u8(128);
  w.u8(0);  // relative note
  w.u8(0);
  w.text("square", 22, ' ');
  // Delta-coded: +40 for the first half, -40 for the second.
  int previous = 0;
  for (int i = 0; i < kSampleFrames; ++i) {
    const int value = i < kSampleFrames / 2 ? 40 : -40;
    w.u8(static_cast<unsigned>((value - previous) & 0xFF));
    previous = value;
  }
}

}  // namespace

int XmSong::AddPattern(int rows) {
  XmPattern pattern;
  pattern.rows = rows;
  pattern.cells.resize(static_cast<std::size_t>(rows * channels));
  patterns.push_back(pattern);
  return static_cast<int>(patterns.size()) - 1;
}

std::vector<std::uint8_t> BuildXm(const XmSong& song) {
  std::vector<std::uint8_t> out;
  Writer w(&out);
  w.text("Extended Module: ", 17, ' ');
  w.text("test song", 20, ' ');
  w.u8(0x1A);
  w.text("kaleth tests", 20, ' ');
  w.u16(0x0104);
  w.u32(276);
  w.u16(static_cast<unsigned>(song.orders.size()));
  w.u16(static_cast<unsigned>(song.restart));
  w.u16(static_cast<unsigned>(song.channels));
  w.u16(static_cast<unsigned>(song.patterns.size()));
  w.u16(static_cast<unsigned>(song.instruments));
  w.u16(1);  // linear frequencies
  w.u16(static_cast<unsigned>(song.speed));
  w.u16(static_cast<unsigned>(song.bpm));
  for (std::size_t i = 0; i < 256; ++i) w.u8(i < song.orders.size() ? song.orders[i] : 0);
  for (const XmPattern& pattern : song.patterns) WritePattern(w, pattern);
  for (int i = 1; i <= song.instruments; ++i) WriteInstrument(w, i);
  return out;
}
